#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "common/utf8_path.h"
#include "journal/journal_lock.h"

namespace ampelon {

Result<std::unique_ptr<JournalLock>> JournalLock::Take(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    return Failure{"Could not create the folder " + Utf8FromPath(folder) + ": " + error.message()};
  }
  const std::filesystem::path path = folder / kLockName;
  // Never waits: a named pipe put in its place opens at once.
  const int handle = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
  if (handle < 0) {
    return Failure{"Could not open " + Utf8FromPath(path) + ": " +
                   std::generic_category().message(errno)};
  }
  if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
    const int reason = errno;
    ::close(handle);
    if (reason == EWOULDBLOCK) return std::unique_ptr<JournalLock>();
    return Failure{"Could not lock " + Utf8FromPath(path) + ": " +
                   std::generic_category().message(reason)};
  }
  return std::unique_ptr<JournalLock>(new JournalLock(handle));
}

JournalLock::~JournalLock() { ::close(static_cast<int>(m_handle)); }

}  // namespace ampelon
