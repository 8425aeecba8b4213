#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "journal/journal_file.h"

namespace ampelon {
namespace {

Failure SystemFailure() { return Failure{std::strerror(errno)}; }

}  // namespace

Result<std::unique_ptr<JournalFile>> JournalFile::Create(const std::filesystem::path& path) {
  // Owner only: the readings of a charge are nobody else's business.
  const int handle =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
  if (handle < 0) return SystemFailure();
  return std::unique_ptr<JournalFile>(new JournalFile(handle));
}

JournalFile::~JournalFile() { ::close(m_handle); }

Result<void> JournalFile::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(m_handle, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return SystemFailure();
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

Result<void> JournalFile::SyncData() {
#if defined(__APPLE__)
  // macOS has no fdatasync; fsync is the nearest.
  const int synced = ::fsync(m_handle);
#else
  const int synced = ::fdatasync(m_handle);
#endif
  if (synced != 0) return SystemFailure();
  return {};
}

Result<void> SyncFolder(const std::filesystem::path& folder) {
  const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return SystemFailure();
  Result<void> synced;
  if (::fsync(handle) != 0) synced = SystemFailure();
  ::close(handle);
  return synced;
}

}  // namespace ampelon
