#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <io.h>

#include "files/not_regular_file.h"
#include "files/regular_file.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

Failure SystemFailure(int error) { return Failure{std::generic_category().message(error)}; }

}  // namespace

// Windows keeps its pipes and devices outside the folders a file dialog shows, so a look before
// opening is enough: what is there cannot turn into something that waits.
Result<RegularFile> RegularFile::Open(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!error && fs::exists(status) && !fs::is_regular_file(status)) {
    return Failure{NotRegularFileReason(status.type())};
  }
  const int handle = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY);
  if (handle < 0) return SystemFailure(errno);
  RegularFile file(handle, 0);
  const long long size = ::_filelengthi64(handle);
  if (size < 0) return SystemFailure(errno);
  file.m_size = static_cast<std::uintmax_t>(size);
  return file;
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_size(other.m_size) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
  if (this != &other) {
    if (m_handle >= 0) ::_close(m_handle);
    m_handle = std::exchange(other.m_handle, -1);
    m_size = other.m_size;
  }
  return *this;
}

RegularFile::~RegularFile() {
  if (m_handle >= 0) ::_close(m_handle);
}

Result<std::size_t> RegularFile::Read(std::span<char> buffer) {
  const auto piece = static_cast<unsigned>(std::min<std::size_t>(buffer.size(), INT_MAX));
  const int count = ::_read(m_handle, buffer.data(), piece);
  if (count < 0) return SystemFailure(errno);
  return static_cast<std::size_t>(count);
}

}  // namespace ampelon
