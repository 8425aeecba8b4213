// File > Save Graph and Load Graph, and the full-store notice, through the controller.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/utf8_path.h"
#include "ui/charge_registrar.h"
#include "ui/controller_fixture.h"

namespace ampelon {
namespace {

using namespace ampelon::testing;

// `path` with the platform's folder separator in place of '/'.
std::string NativePath(std::string path) {
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
#endif
  return path;
}

class GraphLogCommandsTest : public ControllerFixture {
 protected:
  GraphLogCommandsTest() {
    m_backend.Set("Last Path", "/data/");
    m_controller->OnLoad();
  }

  void ReceiveReadings(const std::string& lines) { m_serial.Receive(lines); }
  std::vector<std::int16_t> Readings() const {
    const auto samples = m_controller->Store().Samples();
    return {samples.begin(), samples.end()};
  }
  std::string LastMessage() const {
    return m_dialogs.Messages().empty() ? std::string() : m_dialogs.Messages().back().text;
  }
};

TEST_F(GraphLogCommandsTest, SaveWritesEveryReadingWithCrLf) {
  ReceiveReadings("1\n-1\n4095\n");
  m_fileDialog.Answer("/data/run1.log");
  m_controller->OnSaveGraph();
  ASSERT_NE(m_files.Get("/data/run1.log"), nullptr);
  EXPECT_EQ(*m_files.Get("/data/run1.log"), "1\r\n-1\r\n4095\r\n");
  ASSERT_NE(m_files.Get("/data/run1.times"), nullptr);
  EXPECT_EQ(*m_files.Get("/data/run1.times"), "0.100\r\n0.100\r\n0.100\r\n");
  EXPECT_EQ(m_fileDialog.Folders().back(), "/data/");
  EXPECT_TRUE(m_dialogs.Messages().empty());
  EXPECT_TRUE(m_dialogs.Questions().empty()) << "asked about a new file";
}

// A slip of the mouse onto an existing log must not destroy a whole charge: saving over it asks
// first and replaces it only on Yes. So does a new log that shares its times file with another
// (run1.txt beside run1.log): those times are that charge's. Loading never asks.
TEST_F(GraphLogCommandsTest, SavingOverAFileAsksFirst) {
  m_files.Put("/data/run1.log", "1\r\n");
  m_files.Put("/data/run1.times", "5.000\r\n");
  ReceiveReadings("7\n");
  m_fileDialog.Answer("/data/run1.txt");
  m_controller->OnSaveGraph();
  EXPECT_EQ(m_files.Get("/data/run1.txt"), nullptr);
  for (const bool yes : {false, true}) {
    m_dialogs.Reply(yes);
    m_fileDialog.Answer("/data/run1.log");
    m_controller->OnSaveGraph();
    EXPECT_EQ(*m_files.Get("/data/run1.log"), yes ? "7\r\n" : "1\r\n");
    EXPECT_EQ(*m_files.Get("/data/run1.times"), yes ? "0.100\r\n" : "5.000\r\n");
  }
  ASSERT_EQ(m_dialogs.Questions().size(), 3u);
  EXPECT_EQ(m_dialogs.Questions()[0].text, "/data/run1.times already exists. Replace it?");
  EXPECT_EQ(m_dialogs.Questions()[1].text, "/data/run1.log already exists. Replace it?");
  EXPECT_EQ(m_dialogs.Questions()[0].title, "Ampelon");
  m_fileDialog.Answer("/data/run1.log");
  m_controller->OnLoadGraph();
  EXPECT_EQ(m_dialogs.Questions().size(), 3u) << "loading asked";
}

TEST_F(GraphLogCommandsTest, TheChosenFoldersBecomeTheLastPath) {
  const struct {
    const char* chosen;
    const char* folder;
  } cases[] = {
      {"/home/ann/charges/run1.log", "/home/ann/charges/"}, {"/run2.log", "/"}, {"run3.log", ""}};
  for (const auto& c : cases) {
    // The file dialog gives the platform's own separators.
    const std::string chosen = NativePath(c.chosen);
    const std::string folder = NativePath(c.folder);
    m_fileDialog.Answer(chosen);
    m_controller->OnSaveGraph();
    EXPECT_EQ(m_controller->LastPath(), folder) << chosen;
    EXPECT_EQ(m_backend.Text("Last Path"), folder) << chosen;
    m_controller->OnLoadGraph();  // cancelled: opens where the last one chose
    EXPECT_EQ(m_fileDialog.Folders().back(), folder) << chosen;
  }
}

TEST_F(GraphLogCommandsTest, CancellingChangesNothing) {
  ReceiveReadings("5\n");
  m_backend.ForgetWrites();
  m_controller->OnSaveGraph();
  m_controller->OnLoadGraph();
  EXPECT_TRUE(m_backend.WrittenTexts().empty());
  EXPECT_EQ(m_controller->LastPath(), "/data/");
  EXPECT_EQ(Readings(), std::vector<std::int16_t>{5});
}

TEST_F(GraphLogCommandsTest, LoadReplacesTheReadingsAndRestartsTheClock) {
  ReceiveReadings("5\n6\n");
  m_files.Put("/data/old.log", "100\r\n\r\n12abc\r\n2.5\r\n3.5");
  m_clock.Set(40000.0);
  m_fileDialog.Answer("/data/old.log");
  m_controller->OnLoadGraph();
  EXPECT_EQ(Readings(), (std::vector<std::int16_t>{100, 0, 12, 2, 4}));
  EXPECT_EQ(m_controller->Store().StartTime(), 40000.0);
  EXPECT_EQ(m_controller->Store().ElapsedSeconds(), 0.0);
  EXPECT_TRUE(m_dialogs.Messages().empty());
  ReceiveReadings("7\n");  // live readings follow the loaded ones
  EXPECT_EQ(Readings().back(), 7);
}

// The times beside a log load with it, as far as it has readings and until a NUL or an endless
// line; live readings go on from the last loaded time, and Save Graph writes them all.
TEST_F(GraphLogCommandsTest, TimesBesideALogLoadAndGoOnAndSaveWithIt) {
  const struct {
    std::string times;
    const char* saved;  // with a reading 10 s after the load
  } cases[] = {
      {"1.000\r\n\r\n3.000\r\n", "1.000\r\n\r\n3.000\r\n\r\n13.000\r\n"},
      {"1\n2\n3\n4\n5\n", "1.000\r\n2.000\r\n3.000\r\n4.000\r\n14.000\r\n"},
      {std::string("1\r\n\0\r\n3\r\n", 8), "1.000\r\n\r\n\r\n\r\n11.000\r\n"},
      {std::string(5000, '1') + "\r\n2\r\n", "\r\n\r\n\r\n\r\n10.000\r\n"},
  };
  for (const auto& c : cases) {
    m_files.Put("/data/timed.log", "1\r\n2\r\n3\r\n4\r\n");
    m_files.Put("/data/timed.times", c.times);
    m_fileDialog.Answer("/data/timed.log");
    m_controller->OnLoadGraph();
    m_clock.Advance(10.0);
    ReceiveReadings("5\n");
    m_dialogs.Reply(true);
    m_fileDialog.Answer("/data/timed.log");
    m_controller->OnSaveGraph();
    EXPECT_EQ(*m_files.Get("/data/timed.times"), c.saved);
  }
  EXPECT_TRUE(m_dialogs.Messages().empty()) << LastMessage();
  m_files.Put("/data/timed.times", "1.000\r\n2.000\r\n3.000\r\n");
  m_files.FailReadsAfter(16);  // within the times, past the log
  m_fileDialog.Answer("/data/timed.log");
  m_controller->OnLoadGraph();
  EXPECT_EQ(Readings(), (std::vector<std::int16_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(LastMessage(),
            "The times in /data/timed.times could not be read: Input/output "
            "error\nThe readings were loaded without times.");
}

TEST_F(GraphLogCommandsTest, AFileThatCannotBeReadLeavesEverythingAsItWas) {
  ReceiveReadings("5\n6\n");
  const double startTime = m_controller->Store().StartTime();
  m_files.Put("/data/binary.log", std::string("12\r\n\0\0", 6));
  m_files.Put("/data/broken.log", "1\r\n2\r\n3\r\n");
  const struct {
    const char* name;
    const char* says;
  } cases[] = {{"/data/missing.log", "Could not open /data/missing.log:\nNo such file"},
               {"/data/binary.log", "/data/binary.log is not a graph log"},
               {"/data/broken.log", "Could not read /data/broken.log:\nInput/output error"}};
  for (const auto& c : cases) {
    if (std::string(c.name) == "/data/broken.log") m_files.FailReadsAfter(4);
    const int clears = m_canvas.Clears();
    m_fileDialog.Answer(c.name);
    m_controller->OnLoadGraph();
    EXPECT_NE(LastMessage().find(c.says), std::string::npos) << LastMessage();
    EXPECT_EQ(Readings(), (std::vector<std::int16_t>{5, 6})) << c.name;
    EXPECT_EQ(m_controller->Store().StartTime(), startTime) << c.name;
    EXPECT_EQ(m_canvas.Clears(), clears) << c.name;
  }
}

TEST_F(GraphLogCommandsTest, AFailedSaveIsReportedAndNeverAsDone) {
  // A log written holds the readings: times that could not be are told apart.
  m_files.Put("/data/run.times", "5.000\r\n");
  m_files.RefuseWritesTo("/data/run.times", "The file is read-only");
  m_dialogs.Reply(true);
  m_fileDialog.Answer("/data/run.log");
  m_controller->OnSaveGraph();
  EXPECT_NE(m_files.Get("/data/run.log"), nullptr);
  EXPECT_EQ(LastMessage(),
            "/data/run.log was saved, but the readings' times could not be written to "
            "/data/run.times:\nThe file is read-only\n\nThe times file there is an earlier "
            "save's and does not belong to this log.");
  m_files.RefuseWrites("Permission denied");
  m_fileDialog.Answer("/readonly/run.log");
  m_controller->OnSaveGraph();
  EXPECT_EQ(LastMessage(), "Could not save /readonly/run.log:\nPermission denied");
  EXPECT_EQ(m_dialogs.Messages().size(), 2u);
}

// Remembers what it was given; says what it is told to.
class FakeRegistrar final : public ChargeRegistrar {
 public:
  void Register(const std::filesystem::path& graphLog) override { paths.push_back(graphLog); }
  RegistrarNews TakeNews() override { return std::exchange(news, {}); }
  std::vector<std::filesystem::path> paths;
  RegistrarNews news;
};

TEST_F(GraphLogCommandsTest, SavedAndSetAsideChargesGoToTheLibraryWhichSaysItsTroubleOnce) {
  const std::filesystem::path journal =
      std::filesystem::temp_directory_path() /
      ("ampelon-registered-" + std::to_string(std::random_device{}()));
  std::filesystem::remove_all(journal);
  std::filesystem::create_directories(journal);
  FakeRegistrar registrar;
  StartController(StartupPaths{"/data/", Utf8FromPath(journal)});
  m_controller->SetChargeRegistrar(registrar);
  m_controller->OnLoad();
  ReceiveReadings("5\n6\n");
  const struct {
    std::string answer;  // "" cancels
    bool refused;
    std::size_t registered;
  } saves[] = {{"/data/a.log", false, 1}, {"", false, 1}, {"/data/b.log", true, 1}};
  for (const auto& save : saves) {
    if (save.refused) m_files.RefuseWrites("Permission denied");
    if (!save.answer.empty()) m_fileDialog.Answer(save.answer);
    m_controller->OnSaveGraph();
    EXPECT_EQ(registrar.paths.size(), save.registered) << save.answer;
  }
  EXPECT_EQ(registrar.paths.front(), std::filesystem::path("/data/a.log"));
  // Readings not saved are set aside by a load, and that file is registered.
  ReceiveReadings("7\n");
  m_files.Put("/data/other.log", "9\r\n");
  m_fileDialog.Answer("/data/other.log");
  m_controller->OnLoadGraph();
  ASSERT_EQ(registrar.paths.size(), 2u);
  EXPECT_EQ(registrar.paths.back().parent_path(), journal);
  EXPECT_TRUE(std::filesystem::exists(registrar.paths.back()));

  const std::size_t messages = m_dialogs.Messages().size();
  registrar.news = {"Charges are not being kept in the charge library: disk full", ""};
  m_controller->OnTick();
  EXPECT_NE(m_status.HoverText().find("charge library: disk full."), std::string::npos);
  EXPECT_EQ(m_dialogs.Messages().size(), messages);
  registrar.news = {"", "The damaged charge library was moved to /x/old.sqlite"};
  m_controller->OnTick();
  EXPECT_EQ(LastMessage(), "The damaged charge library was moved to /x/old.sqlite");
  m_controller->OnUnload();
  m_controller.reset();
  std::filesystem::remove_all(journal);
}

TEST_F(GraphLogCommandsTest, LongAndOutOfRangeFilesLoadWhatFitsAndSaySo) {
  std::string text = "1\r\n70000\r\n2\r\n";
  for (int i = 0; i < 100005; ++i) text += "3\r\n";
  m_files.Put("/data/long.log", text);
  m_fileDialog.Answer("/data/long.log");
  m_controller->OnLoadGraph();
  EXPECT_EQ(m_controller->Store().SampleCount(), 100000);
  EXPECT_NE(LastMessage().find("7 more lines were left out"), std::string::npos) << LastMessage();
  EXPECT_NE(LastMessage().find("1 line was skipped"), std::string::npos) << LastMessage();
  EXPECT_NE(LastMessage().find("at line 2"), std::string::npos) << LastMessage();
}

TEST_F(GraphLogCommandsTest, AFullStoreIsReportedOnceAtTheNextTick) {
  std::string text;
  for (int i = 0; i < 99999; ++i) text += "3\r\n";
  m_files.Put("/data/almost.log", text);
  m_fileDialog.Answer("/data/almost.log");
  m_controller->OnLoadGraph();
  ReceiveReadings("4\n5\n");
  EXPECT_TRUE(m_dialogs.Messages().empty());  // not from inside the serial event
  m_controller->OnTick();
  ASSERT_EQ(m_dialogs.Messages().size(), 1u);
  EXPECT_NE(LastMessage().find("holds 100000 readings"), std::string::npos) << LastMessage();
  ReceiveReadings("6\n");
  m_controller->OnTick();
  EXPECT_EQ(m_dialogs.Messages().size(), 1u);
  EXPECT_EQ(Readings().back(), 4);
}

// A load empties the store, so filling it again is news: it is reported again, also when the
// first serial event after the load is the one that fills it.
TEST_F(GraphLogCommandsTest, AFullStoreIsReportedAgainAfterALoad) {
  std::string text;
  for (int i = 0; i < 99998; ++i) text += "3\r\n";
  m_files.Put("/data/almost.log", text);
  const std::vector<std::vector<std::string>> refills = {{"4\n5\n"}, {"6\n7\n8\n"}, {"6\n", "7\n"}};
  std::size_t notices = 0;
  for (const auto& events : refills) {
    SCOPED_TRACE(events.front());
    m_fileDialog.Answer("/data/almost.log");
    m_controller->OnLoadGraph();
    for (const std::string& lines : events) ReceiveReadings(lines);
    m_controller->OnTick();
    m_controller->OnTick();
    ASSERT_EQ(m_dialogs.Messages().size(), ++notices);
    EXPECT_NE(LastMessage().find("holds 100000 readings"), std::string::npos) << LastMessage();
  }
}

}  // namespace
}  // namespace ampelon
