#include <cerrno>
#include <cstdio>
#include <system_error>

#include <unistd.h>

#include "files/rename_file.h"

namespace ampelon {
namespace {

Failure SystemFailure(int error) { return Failure{std::generic_category().message(error)}; }

}  // namespace

Result<void> RenameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return SystemFailure(errno);
  return {};
}

Result<void> RemoveFile(const std::filesystem::path& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return SystemFailure(errno);
  return {};
}

}  // namespace ampelon
