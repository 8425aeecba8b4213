#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
  ~JournalFollowerTest() override { fs::remove_all(m_folder); }

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
  Journal("3\r\n4\r\n");  // times lagging behind their readings
  EXPECT_EQ(m_follower.Poll(), Change::kGrew);
  EXPECT_EQ(Counts(), (Readings{1, 2, 33, 4}));
  EXPECT_EQ(Seconds(), (std::vector<double>{0.1, 1.1, -1, -1}));
  Times("2.100\r\n3.100\r\n");
  EXPECT_EQ(m_follower.Poll(), Change::kGrew);
  EXPECT_EQ(Seconds(), (std::vector<double>{0.1, 1.1, 2.1, 3.1}));
}

TEST_F(JournalFollowerTest, AJournalWrittenAnewStartsOverWithoutMixing) {
  std::string live;
  std::string liveTimes;
  for (int i = 0; i < 3000; ++i) {
    live += "2000\r\n";
    liveTimes += std::to_string(i) + ".000\r\n";
  }
  Journal(live);
  Times(liveTimes);
  ASSERT_EQ(m_follower.Poll(), Change::kStartedOver);
  // A load, rewriting both files in either order, larger, equal-sized or smaller than before.
  const struct {
    std::string journal;
    bool timesFirst;
  } loads[] = {
      {std::string(live.size() * 2, '\n'), false},
      {std::string(live.size(), '\n'), true},
      {std::string(5, '\n'), false},
  };
  for (const auto& load : loads) {
    const std::string loadedTimes(load.journal.size(), '\n');
    if (load.timesFirst) {
      Times(loadedTimes, false);
      m_follower.Poll();
      EXPECT_TRUE(m_follower.GetCharge().seconds.empty()) << "new times on the old readings";
    }
    Journal(load.journal, false);
    EXPECT_EQ(m_follower.Poll(), Change::kStartedOver);
    if (!load.timesFirst) {
      EXPECT_TRUE(m_follower.GetCharge().seconds.empty()) << "old times on the new readings";
      Times(loadedTimes, false);
      m_follower.Poll();
    }
    EXPECT_EQ(Counts().size(), load.journal.size()) << load.journal.size();
    Journal("5\r\n");
    Times("9.500\r\n");
    EXPECT_EQ(m_follower.Poll(), Change::kGrew);
    EXPECT_EQ(Counts().back(), 5);
    ASSERT_EQ(Seconds().size(), Counts().size());
    EXPECT_EQ(Seconds().front(), -1);
    EXPECT_EQ(Seconds().back(), 9.5);
  }
}

TEST_F(JournalFollowerTest, ARemovedJournalKeepsTheChargeUntilANewOneStarts) {
  Journal("1\r\n2\r\n");
  m_follower.Poll();
  fs::remove(m_folder / "charge-journal.log");
  EXPECT_EQ(m_follower.Poll(), Change::kEnded);
  EXPECT_EQ(m_follower.GetState(), JournalFollower::State::kEnded);
  EXPECT_EQ(Counts(), (Readings{1, 2}));
  EXPECT_EQ(m_follower.Poll(), Change::kNone);
  Journal("1\r\n2\r\n3\r\n");  // the next charge, even one beginning alike
  EXPECT_EQ(m_follower.Poll(), Change::kStartedOver);
  EXPECT_EQ(Counts(), (Readings{1, 2, 3}));
}

TEST_F(JournalFollowerTest, TimesWrittenAnewAloneAreTakenAfterAWhile) {
  Journal("1\r\n2\r\n");
  m_follower.Poll();
  Times("0.500\r\n1.500\r\n");  // times that appear after their readings are theirs
  m_follower.Poll();
  EXPECT_EQ(Seconds(), (std::vector<double>{0.5, 1.5}));
  Times("7.000\r\n8.000\r\n", false);
  m_follower.Poll();
  EXPECT_TRUE(m_follower.GetCharge().seconds.empty());
  for (int poll = 0; poll < 3; ++poll) m_follower.Poll();
  EXPECT_EQ(Seconds(), (std::vector<double>{7, 8}));
}

}  // namespace
}  // namespace ampelon
