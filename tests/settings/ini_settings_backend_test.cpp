#include "settings/qt/ini_settings_backend.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include <QSettings>
#include <QString>

#include <gtest/gtest.h>

#include "ini_file_harness.h"
#include "settings/settings_store.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ampelon {
namespace {

namespace fs = std::filesystem;

// What lies at the file's path: its type, size and, unless it is huge, its bytes.
std::string Fingerprint(const testing::IniFileHarness& harness) {
  std::error_code error;
  const fs::path path = harness.FilePath();
  std::string print = std::to_string(static_cast<int>(fs::symlink_status(path, error).type()));
  if (!fs::is_regular_file(path, error)) return print;
  const std::uintmax_t size = fs::file_size(path, error);
  // Appended piece by piece: GCC 12 at -O3 warns falsely (restrict) on " " + to_string(...).
  print += ' ';
  print += std::to_string(size);
  print += ' ';
  if (size <= 2 * IniSettingsBackend::kLargestFileBytes) print += harness.FileBytes().value_or("");
  return print;
}

class IniSettingsBackendTest : public ::testing::Test {
 protected:
  testing::IniFileHarness m_harness;
  SettingsStore m_store{m_harness.Backend()};
};

// Whatever lies where the file should be, reads give the defaults, nothing hangs and the thing
// itself is left as it was.
TEST_F(IniSettingsBackendTest, UnusableFilesGiveDefaultsAndStayUntouched) {
  const std::string valid = "[General]\nRange=\"1\"\n";
  std::string garbage;
  for (unsigned seed = 7, i = 0; i < 4096; ++i) {
    seed = seed * 1103515245 + 12345;
    garbage += static_cast<char>(seed >> 16);
  }
  const struct {
    const char* name;
    std::function<void(testing::IniFileHarness&)> make;
  } cases[] = {
      {"garbage", [&](auto& h) { h.WriteInPlace(garbage + "\n" + valid); }},
      {"NUL bytes", [&](auto& h) { h.WriteInPlace(valid + std::string(3, '\0')); }},
      {"larger than the limit",
       [&](auto& h) {
         h.WriteInPlace(valid + std::string(IniSettingsBackend::kLargestFileBytes, ';'));
       }},
      {"100 MB",
       [&](auto& h) {
         h.WriteInPlace(valid);
         fs::resize_file(h.FilePath(), 100 << 20);
       }},
      {"folder", [](auto& h) { fs::create_directories(h.FilePath()); }},
#ifndef _WIN32
      {"pipe",
       [](auto& h) {
         fs::create_directories(h.FolderPath());
         ASSERT_EQ(mkfifo(h.FilePath().c_str(), 0600), 0);
       }},
#endif
  };
  for (const auto& [name, make] : cases) {
    SCOPED_TRACE(name);
    testing::IniFileHarness harness;
    make(harness);
    const std::string before = Fingerprint(harness);
    SettingsStore store(harness.Backend());

    EXPECT_EQ(store.ReadSetting("Range", "0.3"), "0.3");
    store.WriteSetting("Window Left", "100");
    EXPECT_EQ(store.ReadSetting("Window Left", "4000"), "4000");

    EXPECT_TRUE(Fingerprint(harness) == before);
  }
}

TEST_F(IniSettingsBackendTest, ReadOnlyFileIsReadButNeverChanged) {
  const std::string contents = "[General]\nRange=\"1\"\n";
  m_harness.WriteInPlace(contents);
  fs::permissions(m_harness.FilePath(), fs::perms::owner_read | fs::perms::group_read);

  EXPECT_EQ(m_store.ReadSetting("Range", "0.3"), "1");
  EXPECT_EQ(m_store.ReadSetting("Window Left", "4000"), "4000");
  m_store.WriteSetting("Range", "2");

  EXPECT_EQ(m_harness.FileBytes(), contents);
  EXPECT_EQ(fs::status(m_harness.FilePath()).permissions(),
            fs::perms::owner_read | fs::perms::group_read);
}

TEST_F(IniSettingsBackendTest, AwkwardTextsRoundTripAndQtReadsThemAlike) {
  const std::vector<std::string> texts = {
      "a,b, c",
      "k=v",
      "@start",
      "@@twice",
      "#hash ;semi",
      "\"quoted\"",
      "C:\\dir\\",
      "\\x41\\n",
      "  blanks  ",
      "",
      "Gr\xC3\xBC\xC3\x9F"
      "e/\xE6\x97\xA5\xE6\x9C\xAC",
      "tab\there\nand line",
      "\x01"
      "bF after a control byte",
      "[Ports]",
  };
  for (std::size_t i = 0; i < texts.size(); ++i) {
    m_store.WriteSetting("Text " + std::to_string(i), texts[i]);
  }
  // A fresh store and a fresh QSettings on the same file: neither has seen it before.
  SettingsStore reader(m_harness.Backend());
  const QSettings qt(QString::fromStdString(m_harness.FilePath()), QSettings::IniFormat);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(texts[i]);
    const std::string name = "Text " + std::to_string(i);
    EXPECT_EQ(reader.ReadSetting(name, "default"), texts[i]);
    EXPECT_EQ(qt.value(QString::fromStdString(name)).toString().toStdString(), texts[i]);
  }
}

TEST_F(IniSettingsBackendTest, UsersPortsGroupSurvivesSettingsWrites) {
  const std::string ports = "; my own ports\n[Ports]\nCOM2=/dev/pts/3\nCOM7=/dev/odd,name\n";
  m_harness.WriteInPlace(ports);

  m_store.WriteSetting("Range", ".5");
  EXPECT_EQ(m_store.ReadSetting("Window Left", "4000"), "4000");
  m_store.WriteSetting("Range", ".7");

  const std::string text = m_harness.FileBytes().value_or("");
  EXPECT_NE(text.find(ports), std::string::npos) << text;
  const QSettings qt(QString::fromStdString(m_harness.FilePath()), QSettings::IniFormat);
  EXPECT_EQ(qt.value("Ports/COM2").toString(), "/dev/pts/3");
  EXPECT_EQ(qt.value("Range").toString(), ".7");
  EXPECT_EQ(qt.value("Window Left").toString(), "4000");
}

}  // namespace
}  // namespace ampelon
