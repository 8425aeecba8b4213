#include "serial/port_override_file.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ampelon {
namespace {

namespace fs = std::filesystem;

class PortOverrideFileTest : public ::testing::Test {
 protected:
  PortOverrideFileTest() { fs::create_directories(m_folder); }
  ~PortOverrideFileTest() override {
    std::error_code error;
    fs::remove_all(m_folder, error);
  }

  void Write(const std::string& bytes) const { std::ofstream(m_path, std::ios::binary) << bytes; }

  const fs::path m_folder =
      fs::temp_directory_path() / ("ampelon-overrides-" + std::to_string(std::random_device()()));
  const std::string m_path = (m_folder / "settings.ini").string();
};

TEST_F(PortOverrideFileTest, ReadsTheKeyOfThatPortNumberOnly) {
  for (const std::string start : {"", "\xEF\xBB\xBF"}) {
    for (const std::string eol : {"\n", "\r\n"}) {
      Write(start + "[Window]" + eol + "COM5=/dev/wrong-group" + eol + "[Ports]" + eol +
            "COM5=/dev/serial/by-id/usb-Charger_A1-if00" + eol + "COM6=" + eol +
            "COM7=/dev/odd,name" + eol + "COM10=\"/dev/pts/7\" ; the simulator" + eol);
      const PortOverrideFile overrides(m_path);
      EXPECT_EQ(overrides.DevicePathFor(5), "/dev/serial/by-id/usb-Charger_A1-if00");
      EXPECT_EQ(overrides.DevicePathFor(6), std::nullopt);  // empty value: use the numbering
      EXPECT_EQ(overrides.DevicePathFor(7), "/dev/odd,name");
      EXPECT_EQ(overrides.DevicePathFor(10), "/dev/pts/7");
      EXPECT_EQ(overrides.DevicePathFor(1), std::nullopt);
    }
  }
}

// Nothing there, or nothing usable: no override, and never a wait (a pipe has no writer).
TEST_F(PortOverrideFileTest, MissingOrUnusableFileGivesNoOverride) {
  const std::function<void(const std::string&)> makers[] = {
      [](const std::string&) {},
      [](const std::string& path) { fs::create_directory(path); },
      [this](const std::string&) { Write(std::string("[Ports]\nCOM5=/dev/x\n\0", 21)); },
#ifndef _WIN32
      [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
#endif
  };
  for (const auto& make : makers) {
    std::error_code error;
    fs::remove_all(m_path, error);
    make(m_path);
    EXPECT_EQ(PortOverrideFile(m_path).DevicePathFor(5), std::nullopt);
  }
}

TEST_F(PortOverrideFileTest, SeesAnEditAtTheNextLookup) {
  const PortOverrideFile overrides(m_path);
  Write("[Ports]\nCOM3=/dev/first\n");
  EXPECT_EQ(overrides.DevicePathFor(3), "/dev/first");
  Write("[Ports]\nCOM3=/dev/second\n");
  EXPECT_EQ(overrides.DevicePathFor(3), "/dev/second");
}

}  // namespace
}  // namespace ampelon
