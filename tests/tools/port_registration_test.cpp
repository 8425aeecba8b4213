#include "charger/port_registration.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "charger/ports_section.h"

#ifdef AMPELON_TOOLS_TEST_QT
#include "serial/qt/port_override_file.h"
#endif

namespace ampelon {
namespace {

struct SectionCase {
  const char* name;
  std::string before;
  std::string registered;  // after SetValue("COM2", "/dev/pts/3")
  std::string removed;     // after RemoveValue("COM2") on that
};

class PortsSectionTest : public ::testing::TestWithParam<SectionCase> {};

TEST_P(PortsSectionTest, ChangesOnlyTheKeyInThePortsGroup) {
  const SectionCase& c = GetParam();
  PortsSection section(c.before);
  section.SetValue("COM2", "/dev/pts/3");
  EXPECT_EQ(section.Text(), c.registered);
  EXPECT_EQ(PortsSection(section.Text()).Value("COM2"), "/dev/pts/3");
  PortsSection again(section.Text());
  again.RemoveValue("COM2");
  EXPECT_EQ(again.Text(), c.removed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortsSectionTest,
    ::testing::Values(
        SectionCase{"NoFile", "", "[Ports]\nCOM2=/dev/pts/3\n", ""},
        SectionCase{"OtherGroupsWithCrLf", "[General]\r\nPort=2\r\n",
                    "[General]\r\nPort=2\r\n\r\n[Ports]\r\nCOM2=/dev/pts/3\r\n",
                    "[General]\r\nPort=2\r\n"},
        SectionCase{"PortsGroupInTheMiddle", "[Ports]\nCOM1=/dev/ttyUSB0\n\n[Window]\nCOM2=kept\n",
                    "[Ports]\nCOM1=/dev/ttyUSB0\nCOM2=/dev/pts/3\n\n[Window]\nCOM2=kept\n",
                    "[Ports]\nCOM1=/dev/ttyUSB0\n\n[Window]\nCOM2=kept\n"},
        SectionCase{"EmptyPortsGroup", "[Ports]\n[Window]\nTop=1",
                    "[Ports]\nCOM2=/dev/pts/3\n[Window]\nTop=1", "[Window]\nTop=1"},
        SectionCase{"LastDuplicateCounts", "[Ports]\nCOM2=a\n[X]\n[Ports]\nCOM2=b\n",
                    "[Ports]\nCOM2=a\n[X]\n[Ports]\nCOM2=/dev/pts/3\n", "[X]\n"},
        SectionCase{"SimilarKeysKept", "[Ports]\nCOM22=a\ncom2=b\n",
                    "[Ports]\nCOM22=a\ncom2=b\nCOM2=/dev/pts/3\n", "[Ports]\nCOM22=a\ncom2=b\n"}),
    [](const auto& info) { return info.param.name; });

TEST(PortsSectionTest, ValuesReadAndWrittenAsTheProgramReadsThem) {
  const PortsSection handWritten(
      "[Ports]\nCOM3 = \"/dev/serial/by-id/usb x\" ; an adapter\nCOM4=/dev/ttyUSB0 ; note\n");
  EXPECT_EQ(handWritten.Value("COM3"), "/dev/serial/by-id/usb x");
  EXPECT_EQ(handWritten.Value("COM4"), "/dev/ttyUSB0");

  const std::vector<std::string> values = {"/dev/pts/3",   "/tmp/a,b", " /tmp/spaced ",
                                           "/tmp/\"q\"\\", "@/tmp/at", "/tmp/tab\there;x",
                                           "/tmp/ünï"};
  std::string text = "[Ports]\n";
  for (std::size_t i = 0; i < values.size(); ++i) {
    text += "COM" + std::to_string(i + 1) + "=" + PortsSection::ValueText(values[i]) + "\n";
  }
  EXPECT_EQ(PortsSection::ValueText("/dev/pts/3"), "/dev/pts/3");
#ifdef AMPELON_TOOLS_TEST_QT
  char path[] = "/tmp/ampelon-ports-XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(fd);
  const PortOverrideFile programsReader(path);
#endif
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(PortsSection(text).Value("COM" + std::to_string(i + 1)), values[i]);
#ifdef AMPELON_TOOLS_TEST_QT
    EXPECT_EQ(programsReader.DevicePathFor(static_cast<int>(i + 1)), values[i]);
#endif
  }
#ifdef AMPELON_TOOLS_TEST_QT
  ::unlink(path);
#endif
}

class PortRegistrationTest : public ::testing::Test {
 protected:
  PortRegistrationTest() {
    char folder[] = "/tmp/ampelon-registration-XXXXXX";
    m_folder = ::mkdtemp(folder);
  }
  ~PortRegistrationTest() override { std::filesystem::remove_all(m_folder); }

  std::string Path() const { return m_folder + "/config/Trevanix Ampelon/settings.ini"; }
  std::string Text() const {
    std::ifstream file(Path(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  void Write(const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(Path()).parent_path());
    std::ofstream(Path(), std::ios::binary) << text;
  }

  std::string m_folder;
};

constexpr const char* kSettings = "[General]\nPort=2\n\n[Ports]\nCOM2=/dev/serial/by-id/usb-1\n";

TEST_F(PortRegistrationTest, TakesTheRegistrationBackAroundChangesMadeMeanwhile) {
  struct Case {
    const char* name;
    const char* before;  // nullptr: no file
    std::function<std::string(const std::string&)> meanwhile;
    const char* after;  // nullptr: no file
  };
  const auto same = [](const std::string& text) { return text; };
  const auto portChanged = [](const std::string& text) {
    return text.substr(0, text.find("Port=2")) + "Port=5" + text.substr(text.find("Port=2") + 6);
  };
  const std::vector<Case> cases = {
      {"Untouched", kSettings, same, kSettings},
      {"NoFileBefore", nullptr, same, nullptr},
      {"ProgramChangedAnotherValue", kSettings, portChanged,
       "[General]\nPort=5\n\n[Ports]\nCOM2=/dev/serial/by-id/usb-1\n"},
      {"KeyTakenByAnotherRun", kSettings, [](const std::string&) { return "[Ports]\nCOM2=/x\n"; },
       "[Ports]\nCOM2=/x\n"},
      {"StalePseudoTerminalNotRestored", "[Ports]\nCOM2=/dev/pts/99\nCOM1=/dev/ttyS0\n", same,
       "[Ports]\nCOM1=/dev/ttyS0\n"},
      {"StalePseudoTerminalProgramChanged", "A=1\n[Ports]\nCOM2=/dev/pts/99\n",
       [](const std::string& text) { return "B=2\n" + text; }, "B=2\nA=1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(m_folder + "/config");
    if (c.before) Write(c.before);
    {
      PortRegistration registration(Path(), 2);
      ASSERT_EQ(registration.Register("/dev/pts/7"), std::nullopt);
      EXPECT_EQ(PortsSection(Text()).Value("COM2"), "/dev/pts/7");
      Write(c.meanwhile(Text()));
      EXPECT_EQ(registration.Unregister(), std::nullopt);
    }
    EXPECT_EQ(std::filesystem::exists(Path()), c.after != nullptr);
    if (c.after) {
      EXPECT_EQ(Text(), c.after);
    }
  }
}

}  // namespace
}  // namespace ampelon
