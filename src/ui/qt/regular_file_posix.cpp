#include "ui/qt/regular_file.h"

#include <cerrno>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>

namespace ampelon {
namespace {

std::string NotRegularReason(mode_t mode) {
  if (S_ISDIR(mode)) return "It is a folder, not a regular file.";
  if (S_ISFIFO(mode)) return "It is a named pipe (FIFO), not a regular file.";
  if (S_ISSOCK(mode)) return "It is a socket, not a regular file.";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "It is a device, not a regular file.";
  return "It is not a regular file.";
}

}  // namespace

Result<void> OpenRegularFile(QFile& file) {
  // O_NONBLOCK lets open() return at once on a named pipe; what was opened is looked at through
  // the descriptor, so nothing can be swapped in between the look and the open.
  const QByteArray path = QFile::encodeName(file.fileName());
  const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  struct stat status {};
  if (fd < 0) {
    const int error = errno;
    // A socket or a device may refuse the open with a reason that hides what it is.
    if (::stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
      return Failure{NotRegularReason(status.st_mode)};
    }
    return Failure{std::generic_category().message(error)};
  }
  if (::fstat(fd, &status) != 0) {
    const int error = errno;
    ::close(fd);
    return Failure{std::generic_category().message(error)};
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd);
    return Failure{NotRegularReason(status.st_mode)};
  }
  // Reads of a regular file never wait anyway; plain blocking reads keep the reader simple.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return Failure{file.errorString().toStdString()};
  }
  return {};
}

}  // namespace ampelon
