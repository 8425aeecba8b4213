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

#include "serial/port_override_file.h"
#include "settings/ini_document.h"

namespace ampelon {
namespace {

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
       "[General]\nPort=5\n\n[Ports]\nCOM2=\"/dev/serial/by-id/usb-1\"\n"},
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
      const Result<void> registered = registration.Register("/dev/pts/7");
      ASSERT_TRUE(registered) << registered.error();
      EXPECT_EQ(PortOverrideFile(Path()).DevicePathFor(2), "/dev/pts/7");
      Write(c.meanwhile(Text()));
      const Result<void> unregistered = registration.Unregister();
      EXPECT_TRUE(unregistered) << unregistered.error();
    }
    EXPECT_EQ(std::filesystem::exists(Path()), c.after != nullptr);
    if (c.after) {
      EXPECT_EQ(Text(), c.after);
    }
  }
}

// Whatever the device's name, the program reads what the charger registered, and the rest of
// the file (its byte order mark included) stays.
TEST_F(PortRegistrationTest, ProgramReadsAnyRegisteredPath) {
  const std::string before = "\xEF\xBB\xBF[General]\r\nRange=\".3\"\r\n";
  for (const std::string path : {"/dev/pts/3", "/tmp/a,b", " /tmp/spaced ", "/tmp/\"q\"\\",
                                 "@/tmp/at", "/tmp/tab\there;x", "/tmp/\xC3\xBCn", "/tmp/[x]=1"}) {
    SCOPED_TRACE(path);
    Write(before);
    PortRegistration registration(Path(), 4);
    const Result<void> registered = registration.Register(path);
    ASSERT_TRUE(registered) << registered.error();
    EXPECT_EQ(PortOverrideFile(Path()).DevicePathFor(4), path);
    EXPECT_EQ(IniDocument(Text()).Value("", "Range"), ".3");
    EXPECT_TRUE(Text().starts_with(before)) << Text();
  }
}

}  // namespace
}  // namespace ampelon
