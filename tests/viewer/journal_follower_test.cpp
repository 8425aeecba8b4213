#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "files/rename_file.h"
#include "viewer/journal_follower.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;
using Change = JournalFollower::Change;
using Readings = std::vector<std::int16_t>;

class JournalFollowerTest : public ::testing::Test {
 protected:
  JournalFollowerTest() {
    fs::create_directories(m_folder);
    fs::remove(m_folder / "charge-journal.log");
    fs::remove(m_folder / "charge-journal.times");
  }

  // Writes as the recording program does: appending, or anew from the first byte.
  void Write(const char* name, const std::string& bytes, bool append = true) {
    std::ofstream(m_folder / name, std::ios::binary | (append ? std::ios::app : std::ios::trunc))
        << bytes;
  }
  void Journal(const std::string& bytes, bool append = true) {
    Write("charge-journal.log", bytes, append);
  }
  void Times(const std::string& bytes, bool append = true) {
    Write("charge-journal.times", bytes, append);
  }
  // Both files written anew as the recording program writes them after a load: new files
  // renamed into place, the old times removed first and the new ones put in place last.
  // `between` runs between the steps.
  void WriteAnew(
      const std::string& journal, const std::string& times,
      const std::function<void()>& between = [] {}) {
    Write("charge-journal.log.new", journal, false);
    Write("charge-journal.times.new", times, false);
    ASSERT_TRUE(RemoveFile(m_folder / "charge-journal.times"));
    between();
    ASSERT_TRUE(RenameFile(m_folder / "charge-journal.log.new", m_folder / "charge-journal.log"));
    between();
    ASSERT_TRUE(
        RenameFile(m_folder / "charge-journal.times.new", m_folder / "charge-journal.times"));
  }
  // The charge's times, -1 where unknown.
  std::vector<double> Seconds() const {
    std::vector<double> seconds = m_follower.GetCharge().seconds;
    for (double& s : seconds) s = std::isnan(s) ? -1 : s;
    return seconds;
  }
  const Readings& Counts() const { return m_follower.GetCharge().counts; }

  fs::path m_folder =
      fs::temp_directory_path() /
      ("ampelon-follower-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
  // Removed after the follower lets go of the files it holds: Windows removes no folder before.
  struct RemovedAtEnd {
    fs::path folder;
    ~RemovedAtEnd() { fs::remove_all(folder); }
  } m_removed{m_folder};
  JournalFollower m_follower{m_folder / "charge-journal.log", m_folder / "charge-journal.times"};
};

TEST_F(JournalFollowerTest, GrowsReadingOnlyWhatWasAdded) {
  EXPECT_EQ(m_follower.Poll(), Change::kNone);
  EXPECT_EQ(m_follower.GetState(), JournalFollower::State::kWaiting);
  Journal("1\r\n2\r\n3");  // a line still being written waits for its ending
  Times("0.100\r\n1.100\r\n");
  EXPECT_EQ(m_follower.Poll(), Change::kStartedOver);
  EXPECT_EQ(Counts(), (Readings{1, 2}));
  EXPECT_EQ(Seconds(), (std::vector<double>{0.1, 1.1}));
  EXPECT_EQ(m_follower.Poll(), Change::kNone);
  // Times lagging behind their readings: the readings wait for them, so that they land on the
  // time axis, whose points only ever grow at the end (shown at once, they were left off it for
  // good). Times that do not come are waited for three polls.
  Journal("3\r\n4\r\n");
  EXPECT_EQ(m_follower.Poll(), Change::kNone);
  Times("2.100\r\n3.100\r\n");
  EXPECT_EQ(m_follower.Poll(), Change::kGrew);
  EXPECT_EQ(Counts(), (Readings{1, 2, 33, 4}));
  Journal("5\r\n");
  for (const Change expected : {Change::kNone, Change::kNone, Change::kGrew}) {
    EXPECT_EQ(m_follower.Poll(), expected);
  }
  EXPECT_EQ(Seconds(), (std::vector<double>{0.1, 1.1, 2.1, 3.1, -1}));
}

// A load writes the journal and its times anew. Whatever the new files hold (a load after a
// load, whose times are empty lines either way, once left the charge without times for good),
// the charge starts over with them and never shows a time of another journal: polled between
// the writer's steps, or after two loads at once.
TEST_F(JournalFollowerTest, AJournalWrittenAnewStartsOverWithoutMixing) {
  Journal("2000\r\n2001\r\n");
  Times("0.000\r\n1.000\r\n");
  ASSERT_EQ(m_follower.Poll(), Change::kStartedOver);
  const struct {
    std::vector<std::string> loads;
    bool pollAfterEach;
    bool pollBetweenSteps;
  } cases[] = {
      {{"1\r\n2\r\n3\r\n", "4\r\n5\r\n6\r\n7\r\n8\r\n"}, true, false},
      {{"1\r\n2\r\n3\r\n", "4\r\n5\r\n6\r\n7\r\n8\r\n"}, true, true},
      {{"1\r\n", "4\r\n5\r\n"}, false, false},
      {{"5\r\n"}, true, true},
  };
  for (const auto& [loads, pollAfterEach, pollBetweenSteps] : cases) {
    SCOPED_TRACE(loads.back().size());
    std::size_t lines = 0;
    for (const std::string& load : loads) {
      lines = static_cast<std::size_t>(std::count(load.begin(), load.end(), '\n'));
      int step = 0;
      WriteAnew(load, std::string(lines, '\n'), [&] {
        // Once the new journal is in place, it is shown without times until its own come.
        if (pollBetweenSteps && (m_follower.Poll(), ++step == 2)) {
          EXPECT_EQ(Counts().size(), lines);
          EXPECT_TRUE(m_follower.GetCharge().seconds.empty());
        }
      });
      if (pollAfterEach) m_follower.Poll();
    }
    m_follower.Poll();
    EXPECT_EQ(Counts().size(), lines);
    EXPECT_TRUE(m_follower.GetCharge().seconds.empty());
    Journal("5\r\n");
    Times("9.500\r\n");
    EXPECT_EQ(m_follower.Poll(), Change::kGrew);
    ASSERT_EQ(Seconds().size(), Counts().size());
    EXPECT_EQ(Seconds().front(), -1);
    EXPECT_EQ(Seconds().back(), 9.5);
  }
}

TEST_F(JournalFollowerTest, ARemovedJournalKeepsTheChargeUntilANewOneStarts) {
  Journal("1\r\n2\r\n");
  m_follower.Poll();
  ASSERT_TRUE(RemoveFile(m_folder / "charge-journal.log"));
  EXPECT_EQ(m_follower.Poll(), Change::kEnded);
  EXPECT_EQ(m_follower.GetState(), JournalFollower::State::kEnded);
  EXPECT_EQ(Counts(), (Readings{1, 2}));
  EXPECT_EQ(m_follower.Poll(), Change::kNone);
  Journal("1\r\n2\r\n3\r\n");  // the next charge, even one beginning alike
  EXPECT_EQ(m_follower.Poll(), Change::kStartedOver);
  EXPECT_EQ(Counts(), (Readings{1, 2, 3}));
}

#ifndef _WIN32
// A named pipe put in the journal's place between a look at it and its opening (here again and
// again for half a second) is refused; an open after a look once waited for a writer for good.
TEST_F(JournalFollowerTest, ANamedPipeSwappedInIsRefusedWithoutWaiting) {
  const fs::path pipe = m_folder / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::atomic<bool> done = false;
  std::set<std::string> problems;
  std::thread follower([&] {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < end) {
      m_follower.Poll();
      problems.insert(m_follower.Problem());
    }
    done = true;
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  for (int i = 0; !done && std::chrono::steady_clock::now() < deadline; ++i) {
    if (i % 2 == 0) {
      fs::create_hard_link(pipe, m_folder / "next");
    } else {
      std::ofstream(m_folder / "next", std::ios::binary) << "1\r\n";
    }
    fs::rename(m_folder / "next", m_folder / "charge-journal.log");
  }
  EXPECT_TRUE(done) << "a poll waits on the named pipe";
  while (!done) ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));  // lets it go
  follower.join();
  EXPECT_TRUE(problems.contains("It is a named pipe (FIFO), not a regular file"));
}
#endif

}  // namespace
}  // namespace ampelon
