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

}  // namespace

Result<void> ReplaceWholeFile(const fs::path& path, std::string_view bytes) {
  const fs::path target = LinkTarget(path);
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  const bool exists = !error && fs::exists(status);
  if (exists && !fs::is_regular_file(status)) return Failure{NotRegularFileReason(status.type())};
  // Built piece by piece: GCC 12 at -O3 warns falsely (restrict) on "." + name + ...
  std::string name = ".";
  name += target.filename().string();
  name += ".XXXXXX";
  std::string temporary = (target.parent_path() / name).string();
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
  if (!written) ::unlink(temporary.c_str());
  return written;
}

}  // namespace ampelon
