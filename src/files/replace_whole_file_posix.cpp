#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/not_regular_file.h"
#include "files/replace_whole_file.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

Failure SystemFailure(int error) { return Failure{std::generic_category().message(error)}; }

Result<void> WriteAll(int handle, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(handle, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    // A write cut short (the disk filled up) is followed by one that says why.
    if (written < 0) return SystemFailure(errno);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

// The file a link names, as far as it exists.
fs::path LinkTarget(const fs::path& path) {
  std::error_code error;
  const fs::path target = fs::weakly_canonical(path, error);
  return error ? path : target;
}

// The rename is an entry of the folder: until the folder is on the disk, a power cut may bring
// back the old file. A file system that cannot sync a folder (EINVAL) keeps its entries itself;
// a folder the user may not read cannot be synced by them at all.
Result<void> SyncFolder(const fs::path& folder) {
  const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return {};
  Result<void> synced;
  if (::fsync(handle) != 0 && errno != EINVAL) synced = SystemFailure(errno);
  ::close(handle);
  return synced;
}

}  // namespace

Result<void> CheckMayReplace(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) return {};
  // No write bit at all is the user's own mark; root passes every check below.
  constexpr fs::perms kWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((status.permissions() & kWrite) == fs::perms::none) return Failure{kReadOnlyFileReason};
  // A rename needs only the folder's permission; the file's own must allow writing too.
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return SystemFailure(errno);
  return {};
}

Result<void> ReplaceWholeFile(const fs::path& path, std::string_view bytes) {
  const fs::path target = LinkTarget(path);
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  const bool exists = !error && fs::exists(status);
  if (exists && !fs::is_regular_file(status)) return Failure{NotRegularFileReason(status.type())};
  if (const Result<void> allowed = CheckMayReplace(target); !allowed) return allowed;
  // A short name of its own: the file's name with anything added may be too long.
  std::string temporary = (target.parent_path() / ".ampelon-XXXXXX").string();
  const int handle = ::mkstemp(temporary.data());
  if (handle < 0) return SystemFailure(errno);
  // mkstemp makes the file 0600; a new file gets the usual 0666 less the umask.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const mode_t mode = exists ? static_cast<mode_t>(status.permissions()) & 07777 : 0666 & ~mask;
  Result<void> written =
      ::fchmod(handle, mode) == 0 ? WriteAll(handle, bytes) : SystemFailure(errno);
  if (written && ::fsync(handle) != 0) written = SystemFailure(errno);
  if (::close(handle) != 0 && written) written = SystemFailure(errno);
  if (written && ::rename(temporary.c_str(), target.c_str()) != 0) written = SystemFailure(errno);
  if (!written) {
    ::unlink(temporary.c_str());
    return written;
  }
  return SyncFolder(target.parent_path());
}

}  // namespace ampelon
