// Graph log files on a real file system: what is not a regular file, and writes that fail.
#include "ui/qt/qt_graph_file_access.h"

#include <array>
#include <chrono>
#include <csignal>
#include <string>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "../serial/named_pipe.h"
#include "measurement/byte_source.h"

namespace ampelon {
namespace {

using namespace std::chrono_literals;

class QtGraphFileAccessTest : public ::testing::Test {
 protected:
  std::string PathOf(const QString& name) const { return m_folder.filePath(name).toStdString(); }
  static void Put(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
  }
  static QByteArray Contents(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
  }

  QTemporaryDir m_folder;
  QtGraphFileAccess m_files;
};

// Opening a named pipe for reading waits for a writer, which froze the window; one whose writer
// closed at once loaded as an empty file over the readings on the chart.
TEST_F(QtGraphFileAccessTest, OnlyRegularFilesOpenAndNothingWaits) {
  testing::NamedPipe pipe(PathOf("pipe.log"));
  ASSERT_TRUE(pipe.IsValid());
  ASSERT_TRUE(QDir(m_folder.path()).mkdir("folder.log"));
  const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  PathOf("socket.log").copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  Put(PathOf("run.log"), "12\r\n");

  const struct {
    std::string path;
    std::string error;  // empty: the file opens
  } cases[] = {
      {pipe.Path(), "It is a named pipe (FIFO), not a regular file."},
      {PathOf("folder.log"), "It is a folder, not a regular file."},
      {PathOf("socket.log"), "It is a socket, not a regular file."},
      {"/dev/null", "It is a device, not a regular file."},
      {PathOf("run.log"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const auto start = std::chrono::steady_clock::now();
    const GraphFileAccess::Opened opened = m_files.OpenForReading(c.path);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(opened.error, c.error);
    ASSERT_EQ(opened.file != nullptr, c.error.empty());
    if (opened.file) {
      std::array<char, 16> buffer{};
      EXPECT_EQ(opened.file->Read(buffer), 4u);
    }
  }
  EXPECT_FALSE(pipe.GuardReleasedAReader()) << "the open waited for a writer";
  ::close(socketFd);
}

// A write that fails half-way is reported with the system's reason, never "Unknown error", and
// the file that was there stays whole.
TEST_F(QtGraphFileAccessTest, AFailedWriteSaysWhyAndKeepsTheOldFile) {
  const QByteArray old = "1500\r\n1600\r\n";
  const std::string large(256 * 1024, '7');

  // A process may not write beyond its file size limit: EFBIG, without needing a full disk.
  const std::string limited = PathOf("limited.log");
  Put(limited, old);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string limitError = m_files.WriteWhole(limited, large);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(limitError, "File too large");
  EXPECT_EQ(Contents(limited), old);

  // A full disk: a 64 KiB file system of its own (needs the right to mount, as root).
  const QString diskPath = m_folder.filePath("disk");
  ASSERT_TRUE(QDir().mkpath(diskPath));
  const std::string disk = diskPath.toStdString();
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "no tmpfs of its own (not root?): the full-disk case was not run";
  }
  const std::string onDisk = disk + "/full.log";
  Put(onDisk, old);
  const std::string fullError = m_files.WriteWhole(onDisk, large);
  const QByteArray afterwards = Contents(onDisk);
  const QStringList left = QDir(diskPath).entryList(QDir::Files);
  ::umount2(disk.c_str(), MNT_DETACH);
  EXPECT_EQ(fullError, "No space left on device");
  EXPECT_EQ(afterwards, old);
  EXPECT_EQ(left, QStringList{"full.log"}) << "the temporary file was left behind";
}

}  // namespace
}  // namespace ampelon
