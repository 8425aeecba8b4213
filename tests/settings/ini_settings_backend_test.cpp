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
#include "serial/port_override_file.h"
#include "settings/ini_file.h"
#include "settings/settings_store.h"

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <fstream>
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
  if (size <= 2 * kLargestIniFileBytes) print += harness.FileBytes().value_or("");
  return print;
}

class IniSettingsBackendTest : public ::testing::Test {
 protected:
  testing::IniFileHarness m_harness;
  SettingsStore m_store{m_harness.Backend()};
};

// Whatever lies where the file should be, reads give the defaults, nothing hangs (neither the
// settings nor the port overrides), the thing itself is left as it was and the store says why.
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
    const char* problem;
  } cases[] = {
      {"garbage", [&](auto& h) { h.WriteInPlace(garbage + "\n" + valid); }, " holds NUL bytes"},
      {"NUL bytes", [&](auto& h) { h.WriteInPlace(valid + std::string(3, '\0')); },
       " holds NUL bytes"},
      {"larger than the limit",
       [&](auto& h) { h.WriteInPlace(valid + std::string(kLargestIniFileBytes, ';')); },
       " is larger than 1 MiB"},
      {"100 MB",
       [&](auto& h) {
         h.WriteInPlace(valid + "[Ports]\nCOM2=/dev/pts/3\n");
         fs::resize_file(h.FilePath(), 100 << 20);
       },
       " is larger than 1 MiB"},
      {"folder", [](auto& h) { fs::create_directories(h.FilePath()); },
       " cannot be used: It is a folder, not a regular file"},
#ifndef _WIN32
      {"pipe",
       [](auto& h) {
         fs::create_directories(h.FolderPath());
         ASSERT_EQ(mkfifo(h.FilePath().c_str(), 0600), 0);
       },
       " cannot be used: It is a named pipe (FIFO), not a regular file"},
#endif
  };
  for (const auto& [name, make, problem] : cases) {
    SCOPED_TRACE(name);
    testing::IniFileHarness harness;
    make(harness);
    const std::string before = Fingerprint(harness);
    SettingsStore store(harness.Backend());

    EXPECT_EQ(store.ReadSetting("Range", "0.3"), "0.3");
    store.WriteSetting("Window Left", "100");
    EXPECT_EQ(store.ReadSetting("Window Left", "4000"), "4000");
    EXPECT_EQ(PortOverrideFile(harness.FilePath()).DevicePathFor(2), std::nullopt);
    EXPECT_EQ(store.StoreProblem(), harness.FilePath() + problem);

    EXPECT_TRUE(Fingerprint(harness) == before);
  }
  EXPECT_EQ(m_store.StoreProblem(), "");  // no file yet is no problem
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

// The first write used to put the new [General] group above the byte order mark, where neither
// Qt nor the override reader saw the [Ports] header behind it any more.
TEST_F(IniSettingsBackendTest, OverrideInAFileWithAByteOrderMarkSurvivesTheFirstWrite) {
  const std::string bom = "\xEF\xBB\xBF";
  for (const std::string ports :
       {"[Ports]\nCOM2=/dev/pts/3\n", "[Ports]\r\nCOM2=/dev/pts/3\r\n", "[Ports]\nCOM2=/dev/pts/3",
        "; mine\n\n[Ports]\nCOM2=/dev/pts/3\n"}) {
    SCOPED_TRACE(ports);
    testing::IniFileHarness harness;
    harness.WriteInPlace(bom + ports);
    SettingsStore store(harness.Backend());

    EXPECT_EQ(store.ReadSetting("Serial Port Number", "2"), "2");  // stores the default
    store.WriteSetting("Range", ".5");

    EXPECT_EQ(PortOverrideFile(harness.FilePath()).DevicePathFor(2), "/dev/pts/3");
    EXPECT_EQ(store.ReadSetting("Range", "0.3"), ".5");
    const std::string text = harness.FileBytes().value_or("");
    EXPECT_TRUE(text.starts_with(bom) && text.find(bom, 1) == std::string::npos) << text;
    const QSettings qt(QString::fromStdString(harness.FilePath()), QSettings::IniFormat);
    EXPECT_EQ(qt.value("Ports/COM2").toString(), "/dev/pts/3");
  }
}

#ifndef _WIN32
// A write that fails (over the file size limit, which needs no mount; on a full disk) leaves the
// file whole and says why: the buffered save once ignored the failure and swapped in an empty
// file, losing [Ports] with the rest.
TEST_F(IniSettingsBackendTest, AFailedWriteKeepsTheFileWholeAndSaysWhy) {
  std::string text = "[General]\nRange=\"1\"\n[Ports]\n";
  while (text.size() < 3072) text += "COM2=/dev/serial/by-id/usb-Example_Serial_A1234-if00\n";
  const std::string folder = m_harness.FolderPath();
  const std::string disk = folder + "/disk";
  fs::create_directories(disk);
  const bool mounted = ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=4k") == 0;
  const struct {
    std::string path;
    rlim_t limit;
    const char* reason;
  } cases[] = {{folder + "/limited.ini", 3000, "File too large"},
               {disk + "/settings.ini", RLIM_INFINITY, "No space left on device"}};
  for (const auto& [path, limit, reason] : cases) {
    if (!mounted && limit == RLIM_INFINITY) continue;  // mounting needs root
    SCOPED_TRACE(reason);
    ASSERT_TRUE(std::ofstream(path, std::ios::binary) << text);
    IniSettingsBackend backend(path);
    SettingsStore store(backend);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{limit, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    store.WriteSetting("Range", "2");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), text);
    EXPECT_EQ(store.TakeWriteFailure(), "Could not write " + path + ": " + reason);
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) {
      EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
    }
  }
  if (mounted) ::umount2(disk.c_str(), MNT_DETACH);
}
#endif

}  // namespace
}  // namespace ampelon
