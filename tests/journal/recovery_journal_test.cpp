// The recovery journal as the controller keeps it, in a real folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "common/utf8_path.h"
#include "files/regular_file.h"
#include "journal/journal_lock.h"
#include "journal/recovery_journal.h"
#include "measurement/graph_log_file.h"
#include "measurement/graph_log_parser.h"
#include "measurement/sample_store.h"
#include "ui/controller_fixture.h"

namespace ampelon::testing {
namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RecoveryJournalTest : public ControllerFixture {
 protected:
  RecoveryJournalTest() {
    const auto unique = std::to_string(std::random_device{}());
    // Outside every ANSI code page: Windows' narrow path functions cannot name it.
    m_folder = fs::temp_directory_path() / ("ampelon-journal-test-" + unique) /
               PathFromUtf8("state-\u03a9-\u65e5\u672c");
    Restart();
  }
  ~RecoveryJournalTest() override {
    m_controller.reset();
    fs::remove_all(m_folder.parent_path());
  }

  // The program's next start: the earlier run ends (OnUnload) and a new one loads.
  void Restart() {
    if (m_controller) m_controller->OnUnload();
    StartController(StartupPaths{"/home/user/", Utf8FromPath(m_folder)});
    m_controller->OnLoad();
  }
  fs::path Journal() const { return m_folder / RecoveryJournal::kJournalName; }
  fs::path Times() const { return m_folder / RecoveryJournal::kTimesName; }
  // The recovered journals (.log), each with its times beside it.
  std::vector<fs::path> Recovered() const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(m_folder)) {
      const std::string name = Utf8FromPath(entry.path().filename());
      if (name.starts_with("recovered-") && name.ends_with(".log")) found.push_back(entry);
    }
    return found;
  }

  fs::path m_folder;
};

TEST_F(RecoveryJournalTest, HoldsEveryStoredReadingOnceInOrderHoweverTheBytesAreSplit) {
  m_serial.Receive("1000\n20");
  m_clock.Advance(2.25);
  m_serial.Receive("01\nabc\n");  // not stored, so not journalled
  m_serial.Receive("-5\r\n4095\n3");
  m_serial.Receive("\n");
  m_controller->OnTick();
  EXPECT_EQ(FileText(Journal()), "1000\r\n2001\r\n4095\r\n3\r\n");
  // Line for line, each reading's seconds on the charge clock.
  EXPECT_EQ(FileText(Times()), "0.100\r\n2.350\r\n2.350\r\n2.350\r\n");
  EXPECT_EQ(m_controller->Store().SampleCount(), 4);
}

// A load (File > Load Graph, or a file named on the command line or handed over by a second
// copy) sets the readings not saved aside first, with one message, as the next start would; it
// used to replace them without a word. The journal then holds the loaded readings.
TEST_F(RecoveryJournalTest, ALoadSetsUnsavedReadingsAsideAndRewritesTheJournal) {
  fs::create_directories(m_folder);
  m_files.Put("/data/old.log", "70\r\n80\r\n");
  const struct {
    const char* received;
    bool byDialog;
    const char* setAside;  // nullptr: nothing, the journal was saved (loaded) already
    const char* times;
    const char* told;
  } cases[] = {
      {"1\n", true, "1\r\n", "0.100\r\n", "1 reading of the charge was not saved. It is kept in "},
      {"", false, nullptr, nullptr, nullptr},
      {"90\n", false, "70\r\n80\r\n90\r\n", "\r\n\r\n0.000\r\n",
       "3 readings of the charge were not saved. They are kept in "}};
  for (const auto& [received, byDialog, setAside, times, told] : cases) {
    SCOPED_TRACE(received);
    const std::vector<fs::path> before = Recovered();
    const std::size_t messages = m_dialogs.Messages().size();
    m_serial.Receive(received);
    // Held as the viewer holds them while it reads: a load writes new files, which the viewer
    // tells from the old ones whatever they hold.
    Result<RegularFile> heldJournal = RegularFile::Open(Journal());
    Result<RegularFile> heldTimes = RegularFile::Open(Times());
    ASSERT_TRUE(heldJournal && heldTimes);
    if (byDialog) {
      m_fileDialog.Answer("/data/old.log");
      m_controller->OnLoadGraph();
    } else {
      m_controller->OnOpenFile("/data/old.log");
    }
    EXPECT_EQ(FileText(Journal()), "70\r\n80\r\n");
    EXPECT_EQ(FileText(Times()), "\r\n\r\n");  // loaded readings have no times
    EXPECT_NE(RegularFile::Open(Journal())->GetIdentity(), heldJournal->GetIdentity());
    EXPECT_NE(RegularFile::Open(Times())->GetIdentity(), heldTimes->GetIdentity());
    ASSERT_EQ(Recovered().size(), before.size() + (setAside ? 1 : 0));
    ASSERT_EQ(m_dialogs.Messages().size(), messages + (setAside ? 1 : 0));
    if (!setAside) continue;
    fs::path kept;
    for (const fs::path& path : Recovered()) {
      if (std::find(before.begin(), before.end(), path) == before.end()) kept = path;
    }
    EXPECT_EQ(FileText(kept), setAside);
    EXPECT_EQ(FileText(fs::path(kept).replace_extension(".times")), times);
    EXPECT_EQ(m_dialogs.Messages().back().text, told + Utf8FromPath(kept) + ".");
  }
  // Readings that arrive while the message is open follow the loaded ones.
  m_serial.Receive("1\n");
  m_dialogs.WhileShown([&] { m_serial.Receive("90\n"); });
  m_controller->OnOpenFile("/data/old.log");
  EXPECT_EQ(FileText(Journal()), "70\r\n80\r\n90\r\n");
  EXPECT_EQ(m_controller->Store().SampleCount(), 3);
}

// Readings that arrive while a load's messages are open (the lines it skipped, where the
// readings not saved went) follow the loaded ones, unsaved: the next start sets them aside. The
// report once came before the journal held the loaded readings, which then counted them saved.
TEST_F(RecoveryJournalTest, ReadingsThatArriveWhileALoadIsReportedStayUnsaved) {
  m_files.Put("/data/skip.log", "70\r\n70000\r\n80\r\n");
  m_files.Put("/data/plain.log", "70\r\n80\r\n");
  const struct {
    const char* unsaved;  // readings not saved when the load comes
    const char* file;
    bool byDialog;
  } cases[] = {{"", "/data/skip.log", true},
               {"1\n", "/data/plain.log", false},
               {"1\n", "/data/skip.log", false}};
  for (const auto& [unsaved, file, byDialog] : cases) {
    SCOPED_TRACE(std::string(unsaved) + file);
    m_serial.Receive(unsaved);
    m_dialogs.WhileShown([&] { m_serial.Receive("90\n91\n"); });
    if (byDialog) {
      m_fileDialog.Answer(file);
      m_controller->OnLoadGraph();
    } else {
      m_controller->OnOpenFile(file);
    }
    const std::vector<fs::path> before = Recovered();
    Restart();
    std::vector<std::string> setAside;
    for (const fs::path& path : Recovered()) {
      if (std::find(before.begin(), before.end(), path) == before.end()) {
        setAside.push_back(FileText(path));
      }
    }
    EXPECT_EQ(setAside, std::vector<std::string>{"70\r\n80\r\n90\r\n91\r\n"});
  }
}

TEST_F(RecoveryJournalTest, AnEndWithEverythingSavedOrLoadedLeavesNothingToRecover) {
  // Saved; loaded; loaded from an empty file; no readings at all.
  const std::vector<std::function<void()>> ends = {
      [&] {
        m_fileDialog.Answer("/data/saved.log");
        m_controller->OnSaveGraph();
      },
      [&] {
        m_files.Put("/data/two.log", "5\r\n6\r\n");
        m_fileDialog.Answer("/data/two.log");
        m_controller->OnLoadGraph();
      },
      [&] {
        m_files.Put("/data/empty.log", "");
        m_fileDialog.Answer("/data/empty.log");
        m_controller->OnLoadGraph();
      },
      [] {},
  };
  for (std::size_t end = 0; end < ends.size(); ++end) {
    if (end < 3) m_serial.Receive("2048\n2049\n");
    ends[end]();
    const std::size_t messages = m_dialogs.Messages().size();
    const std::size_t recovered = Recovered().size();  // what a load set aside
    Restart();
    m_controller->OnTick();
    EXPECT_FALSE(fs::exists(Journal())) << end;
    EXPECT_EQ(Recovered().size(), recovered) << end;
    EXPECT_EQ(m_dialogs.Messages().size(), messages) << end;
  }
}

TEST_F(RecoveryJournalTest, UnsavedReadingsAreSetAsideAtTheNextStartWithOneMessage) {
  m_fileDialog.Answer("/data/saved.log");
  m_serial.Receive("100\n");
  m_controller->OnSaveGraph();
  m_serial.Receive("101\n102\n");  // after the save: the journal needs recovering again
  Restart();
  EXPECT_FALSE(fs::exists(Journal()));
  ASSERT_EQ(Recovered().size(), 1u);
  const fs::path recovered = Recovered().front();
  EXPECT_EQ(FileText(recovered), "100\r\n101\r\n102\r\n");
  EXPECT_EQ(m_controller->Store().SampleCount(), 0);  // nothing loaded

  m_controller->OnTick();
  ASSERT_EQ(m_dialogs.Messages().size(), 1u);
  const std::string& text = m_dialogs.Messages().back().text;
  EXPECT_TRUE(text.starts_with("3 readings from the charge of ")) << text;
  EXPECT_TRUE(text.ends_with(" were not saved. They are kept in " + Utf8FromPath(recovered) +
                             "; File > Load Graph opens them."))
      << text;
  m_controller->OnTick();
  EXPECT_EQ(m_dialogs.Messages().size(), 1u);
}

// A charge set aside is told of until its message was closed: at the next start after a run
// that ended between moving its readings and its times (which then follow), or whose message
// only the program's end closed; with a charge set aside then, both. A folder named like the
// saved marker once had an unsaved journal removed without a word. Messages read T for times
// and names nothing of the folder.
TEST_F(RecoveryJournalTest, EveryChargeSetAsideIsToldOfOnceItsMessageWasClosed) {
  const std::string old = "recovered-2026-01-01-120000";
  const std::string one =
      "1 reading from the charge of T was not saved. It is kept in "
      "recovered-T.log; File > Load Graph opens it.";
  const std::string two =
      "2 readings from the charge of T were not saved. They are kept in "
      "recovered-T.log; File > Load Graph opens them.";
  const struct {
    std::vector<std::pair<std::string, std::string>> files;  // "/": a folder
    bool closedByTheEnd;  // the message of a start before was closed by the program's end
    std::string told;
    std::string oldTimes;
  } cases[] = {
      {{{"charge-journal.saved", "/"}, {"charge-journal.log", "5\r\n"}}, false, one, ""},
      {{{"charge-journal.untold", old + ".log\n"},
        {old + ".log", "5\r\n6\r\n"},
        {"charge-journal.times", "0.1\r\n0.2\r\n0.3"}},
       false,
       two,
       "0.1\r\n0.2\r\n"},
      {{{"charge-journal.untold", old + ".log\n"},
        {old + ".log", "7\r\n"},
        {"charge-journal.log", "8\r\n9\r\n"}},
       false,
       one + "\n\n" + two,
       ""},
      {{{"charge-journal.log", "5\r\n6\r\n"}}, true, two, ""},
  };
  const std::regex time(R"(\d{4}-\d\d-\d\d[ -]\d\d:?\d\d\d*)");
  const std::string folder = Utf8FromPath(m_folder / "");
  int row = 0;
  for (const auto& [files, closedByTheEnd, told, oldTimes] : cases) {
    SCOPED_TRACE(++row);
    m_controller->OnUnload();
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    for (const auto& [name, text] : files) {
      if (text == "/") fs::create_directories(m_folder / name);
      if (text != "/") std::ofstream(m_folder / name, std::ios::binary) << text;
    }
    if (closedByTheEnd) {
      Restart();
      m_dialogs.WhileShown([&] { m_controller->OnUnload(); });
      m_controller->OnTick();
    }
    const std::size_t messages = m_dialogs.Messages().size();
    Restart();
    m_controller->OnTick();
    ASSERT_EQ(m_dialogs.Messages().size(), messages + 1);
    std::string text = std::regex_replace(m_dialogs.Messages().back().text, time, "T");
    for (std::size_t at = 0; (at = text.find(folder)) != std::string::npos;) {
      text.erase(at, folder.size());
    }
    EXPECT_EQ(text, told);
    EXPECT_EQ(FileText(m_folder / (old + ".times")), oldTimes);
    EXPECT_FALSE(fs::exists(m_folder / RecoveryJournal::kTimesName));
    EXPECT_FALSE(fs::exists(m_folder / RecoveryJournal::kUntoldMarkerName));
    Restart();
    m_controller->OnTick();
    EXPECT_EQ(m_dialogs.Messages().size(), messages + 1);
  }
}

// One copy at a time keeps the journal in a folder; the lock is free once that copy has ended.
TEST_F(RecoveryJournalTest, OneCopyAtATimeHoldsTheJournalsFolder) {
  Result<std::unique_ptr<JournalLock>> first = JournalLock::Take(m_folder);
  ASSERT_TRUE(first && *first);
  const Result<std::unique_ptr<JournalLock>> second = JournalLock::Take(m_folder);
  EXPECT_TRUE(second && !*second);
  first->reset();
  EXPECT_TRUE(*JournalLock::Take(m_folder));
}

// After a power cut a journal may end in a torn line or in zero bytes (a block the file system
// had not filled yet). Only its complete lines are set aside, so the recovered file is a graph
// log that loads, with the count the message gives; a NUL once made it no graph log at all.
// Its times, flushed apart from it, are cut to as many lines.
TEST_F(RecoveryJournalTest, ATornJournalIsSetAsideWithItsCompleteLinesOnly) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> cases[] = {
      {"2048\r\n20", "2048\r\n"},
      {"2048\r\n2049\r\n" + std::string(4096, '\0'), "2048\r\n2049\r\n"},
      {"2048\r\n2049\r\n20\0\0"s, "2048\r\n2049\r\n"},
      {"2048\r\n\0\0"
       "2049\r\n"s,
       "2048\r\n"},
      {"2048\r"s + std::string(512, '\0'), ""},
  };
  for (const auto& [journal, kept] : cases) {
    SCOPED_TRACE(kept);
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    std::ofstream(Journal(), std::ios::binary) << journal;
    std::ofstream(Times(), std::ios::binary) << "0.100\r\n0.200\r\n0.300\r\n0.4";
    const std::size_t messages = m_dialogs.Messages().size();
    Restart();
    m_controller->OnTick();
    if (kept.empty()) {
      EXPECT_TRUE(Recovered().empty());
      EXPECT_EQ(m_dialogs.Messages().size(), messages);
      continue;
    }
    ASSERT_EQ(Recovered().size(), 1u);
    EXPECT_EQ(FileText(Recovered().front()), kept);
    // The times keep as many lines as the readings.
    EXPECT_EQ(FileText(fs::path(Recovered().front()).replace_extension(".times")),
              kept.size() > 6 ? "0.100\r\n0.200\r\n" : "0.100\r\n");
    GraphLogParser parser(SampleStore::kSampleCapacity);
    ASSERT_TRUE(ReadGraphLogFile(Recovered().front(), parser));
    EXPECT_EQ(parser.GetFailure(), GraphLogParser::Failure::kNone);
    ASSERT_EQ(m_dialogs.Messages().size(), messages + 1);
    EXPECT_TRUE(m_dialogs.Messages().back().text.starts_with(
        std::to_string(parser.Readings().size()) + " reading"));
  }
}

// A recovered charge is one the user never saved: it goes only when it is older than 30 days
// and five newer ones are kept, never the one just set aside (whatever its date: a clock set
// back makes the others newer), and only at start-up once the message about it was closed,
// never on a load. Ages in days; below zero, dated ahead of the clock.
TEST_F(RecoveryJournalTest, PruningKeepsAMonthAtLeastFiveAndTheChargeJustSetAside) {
  const struct {
    std::vector<int> ages;
    std::optional<int> journalAge;  // an unsaved journal of an earlier run, set aside at start
    bool byLoad;                    // the files appear later; a load sets the journal aside
    std::vector<int> removed;       // indices into `ages`
  } cases[] = {
      {{-1, -2, -3, -4, -5}, 0, false, {}},
      {{1, 2, 3, 4, 5, 6, 7, 8}, 0, false, {}},
      {{31, 32, 33, 34, 35, 36, 37}, 0, false, {4, 5, 6}},
      {{31, 32, 33, 34, 35}, 40, false, {}},
      {{31, 32, 33, 34, 35, 36, 37}, std::nullopt, false, {5, 6}},
      {{31, 32, 33, 34, 35, 36, 37}, std::nullopt, true, {}},
  };
  const auto now = fs::file_time_type::clock::now();
  const auto daysAgo = [now](int days) { return now - std::chrono::hours(24 * days); };
  for (const auto& [ages, journalAge, byLoad, removed] : cases) {
    SCOPED_TRACE(::testing::PrintToString(ages) + (byLoad ? " by a load" : ""));
    m_controller->OnUnload();
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    std::vector<fs::path> charges;
    const auto makeCharges = [&] {
      for (std::size_t i = 0; i < ages.size(); ++i) {
        charges.push_back(m_folder / ("recovered-2026-01-0" + std::to_string(i + 1) + "-1200.log"));
        std::ofstream(charges.back()) << "1\r\n";
        std::ofstream(fs::path(charges.back()).replace_extension(".times")) << "0.100\r\n";
        fs::last_write_time(charges.back(), daysAgo(ages[i]));
      }
    };
    if (!byLoad) makeCharges();
    // A file of the user's own, named outside the ANSI code page, stays and stops nothing.
    const fs::path own = m_folder / PathFromUtf8("notes-\u65e5\u672c.txt");
    std::ofstream(own) << "mine";
    if (journalAge) {
      std::ofstream(Journal(), std::ios::binary) << "7\r\n";
      fs::last_write_time(Journal(), daysAgo(*journalAge));
    }
    // Nothing goes while the user is being told of the charge just set aside.
    if (journalAge) m_dialogs.WhileShown([&] { EXPECT_EQ(Recovered().size(), ages.size() + 1); });
    Restart();
    m_controller->OnTick();
    if (byLoad) {
      makeCharges();
      m_files.Put("/data/two.log", "5\r\n6\r\n");
      m_serial.Receive("8\n");
      m_controller->OnOpenFile("/data/two.log");
    }
    const std::size_t setAside = journalAge || byLoad ? 1 : 0;
    EXPECT_EQ(Recovered().size(), ages.size() + setAside - removed.size());
    EXPECT_TRUE(fs::exists(own));
    for (std::size_t i = 0; i < ages.size(); ++i) {
      const bool gone = std::find(removed.begin(), removed.end(), i) != removed.end();
      EXPECT_NE(fs::exists(charges[i]), gone) << i;
      EXPECT_NE(fs::exists(fs::path(charges[i]).replace_extension(".times")), gone) << i;
    }
  }
}

// The readings are set aside first; when their times then fail (here a folder that moves but
// cannot be read), the journal stops for the run and its message says where the readings went.
TEST_F(RecoveryJournalTest, TimesThatCannotBeSetAsideStillTellWhereTheReadingsWent) {
  fs::create_directories(Times());
  std::ofstream(Journal(), std::ios::binary) << "5\r\n6\r\n";
  Restart();
  m_controller->OnTick();
  ASSERT_EQ(Recovered().size(), 1u);
  EXPECT_EQ(FileText(Recovered().front()), "5\r\n6\r\n");
  ASSERT_EQ(m_dialogs.Messages().size(), 1u);
  const std::string& text = m_dialogs.Messages()[0].text;
  EXPECT_TRUE(text.starts_with("Readings are not being kept safe: ")) << text;
  EXPECT_NE(text.find("kept in " + Utf8FromPath(Recovered().front()) + "."), std::string::npos)
      << text;
}

TEST_F(RecoveryJournalTest, AFolderThatCannotBeWrittenIsReportedOnceAndReadingsGoOn) {
  // A file where the folder should be fails every write, whoever the user is.
  fs::remove_all(m_folder);
  fs::create_directories(m_folder.parent_path());
  std::ofstream(m_folder) << "not a folder";
  Restart();
  m_serial.Receive("1\n2\n");
  m_controller->OnTick();
  m_serial.Receive("3\n");
  m_controller->OnTick();
  EXPECT_EQ(m_controller->Store().SampleCount(), 3);
  ASSERT_EQ(m_dialogs.Messages().size(), 1u);
  EXPECT_TRUE(m_dialogs.Messages()[0].text.starts_with("Readings are not being kept safe: "))
      << m_dialogs.Messages()[0].text;
  EXPECT_NE(m_status.HoverText().find("Readings are not being kept safe: "), std::string::npos);
  fs::remove(m_folder);
}

}  // namespace
}  // namespace ampelon::testing
