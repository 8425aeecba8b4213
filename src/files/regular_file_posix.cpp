#include <cerrno>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/not_regular_file.h"
#include "files/regular_file.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

fs::file_type TypeOf(mode_t mode) {
  if (S_ISDIR(mode)) return fs::file_type::directory;
  if (S_ISFIFO(mode)) return fs::file_type::fifo;
  if (S_ISSOCK(mode)) return fs::file_type::socket;
  if (S_ISCHR(mode)) return fs::file_type::character;
  if (S_ISBLK(mode)) return fs::file_type::block;
  return fs::file_type::unknown;
}

Failure SystemFailure(int error) { return Failure{std::generic_category().message(error)}; }

}  // namespace

Result<RegularFile> RegularFile::Open(const fs::path& path) {
  // O_NONBLOCK lets open() return at once on a named pipe; what was opened is looked at through
  // the descriptor, so nothing can be swapped in between the look and the open.
  const int handle = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  struct stat status {};
  if (handle < 0) {
    const int error = errno;
    // A socket or a device may refuse the open with a reason that hides what it is.
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
      return Failure{NotRegularFileReason(TypeOf(status.st_mode))};
    }
    return SystemFailure(error);
  }
  RegularFile file(handle, 0);
  if (::fstat(handle, &status) != 0) return SystemFailure(errno);
  if (!S_ISREG(status.st_mode)) return Failure{NotRegularFileReason(TypeOf(status.st_mode))};
  // Reads of a regular file never wait anyway; plain blocking reads keep the readers simple.
  ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
  file.m_size = static_cast<std::uintmax_t>(status.st_size);
  file.m_identity = {static_cast<std::uint64_t>(status.st_dev),
                     static_cast<std::uint64_t>(status.st_ino)};
  return file;
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)),
      m_size(other.m_size),
      m_identity(other.m_identity) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
  if (this != &other) {
    if (m_handle >= 0) ::close(m_handle);
    m_handle = std::exchange(other.m_handle, -1);
    m_size = other.m_size;
    m_identity = other.m_identity;
  }
  return *this;
}

RegularFile::~RegularFile() {
  if (m_handle >= 0) ::close(m_handle);
}

Result<std::size_t> RegularFile::Read(std::span<char> buffer) {
  while (true) {
    const ssize_t count = ::read(m_handle, buffer.data(), buffer.size());
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) return SystemFailure(errno);
  }
}

Result<std::size_t> RegularFile::ReadAt(std::uint64_t offset, std::span<char> buffer) {
  while (true) {
    const ssize_t count =
        ::pread(m_handle, buffer.data(), buffer.size(), static_cast<off_t>(offset));
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) return SystemFailure(errno);
  }
}

}  // namespace ampelon
