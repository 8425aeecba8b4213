// Graph log files on a real file system: what is not a regular file, and writes that fail.
#include "ui/qt/qt_graph_file_access.h"

#include <csignal>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "measurement/byte_source.h"

namespace ampelon {
namespace {

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Opening a named pipe for reading waited for a writer, freezing the window; one whose writer
// closed at once loaded as an empty file over the readings on the chart.
TEST(QtGraphFileAccessTest, OnlyRegularFilesOpenAndNothingWaits) {
  QTemporaryDir folder;
  const std::string base = folder.path().toStdString();
  ASSERT_EQ(::mkfifo((base + "/pipe.log").c_str(), 0600), 0);
  ASSERT_TRUE(std::ofstream(base + "/run.log") << "12\r\n");
  // Should an open wait on the pipe, the alarm ends the program instead of letting it hang.
  ::alarm(10);
  const std::pair<std::string, std::string> cases[] = {
      {base + "/pipe.log", "It is a named pipe (FIFO), not a regular file"},
      {base, "It is a folder, not a regular file"},
      {"/dev/null", "It is a device, not a regular file"},
      {base + "/run.log", ""}};
  QtGraphFileAccess files;
  for (const auto& [path, error] : cases) {
    const Result<std::unique_ptr<ByteSource>> opened = files.OpenForReading(path);
    EXPECT_EQ(opened ? "" : opened.error(), error) << path;
  }
  ::alarm(0);
}

// A failed write names the system's reason, not "Unknown error", and the old file stays whole
// (a small log was cut off and swapped in as if saved); a folder stays a folder.
TEST(QtGraphFileAccessTest, AFailedWriteSaysWhyAndKeepsTheOldFile) {
  QTemporaryDir folder;
  const std::string base = folder.path().toStdString();
  const std::string old = "1500\r\n1600\r\n";
  const std::string large(256 * 1024, '7');
  QtGraphFileAccess files;

  // A folder of that name is refused, not replaced by a file.
  ASSERT_EQ(::mkdir((base + "/folder.log").c_str(), 0700), 0);
  ASSERT_TRUE(std::ofstream(base + "/folder.log/inside") << old);
  const Result<void> onFolder = files.WriteWhole(base + "/folder.log", "1\r\n");
  ASSERT_FALSE(onFolder);
  EXPECT_EQ(onFolder.error(), "It is a folder, not a regular file");
  EXPECT_EQ(Contents(base + "/folder.log/inside"), old);

  // Beyond its file size limit a process may not write: EFBIG, without a full disk. The log fits
  // in Qt's write buffer, which is written only when the file is committed.
  ASSERT_TRUE(std::ofstream(base + "/limited.log") << old);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const rlimit small{4096, saved.rlim_max};
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const Result<void> limited = files.WriteWhole(base + "/limited.log", large.substr(0, 8192));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, handler);
  ASSERT_FALSE(limited);
  EXPECT_EQ(limited.error(), "File too large");
  EXPECT_EQ(Contents(base + "/limited.log"), old);

  // A full disk: a 64 KiB file system of its own, which needs the right to mount (root).
  const std::string disk = base + "/disk";
  ASSERT_EQ(::mkdir(disk.c_str(), 0700), 0);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "the full-disk case needs the right to mount a tmpfs";
  }
  ASSERT_TRUE(std::ofstream(disk + "/full.log") << old);
  const Result<void> full = files.WriteWhole(disk + "/full.log", large);
  const std::string afterwards = Contents(disk + "/full.log");
  ::umount2(disk.c_str(), MNT_DETACH);
  ASSERT_FALSE(full);
  EXPECT_EQ(full.error(), "No space left on device");
  EXPECT_EQ(afterwards, old);
}

}  // namespace
}  // namespace ampelon
