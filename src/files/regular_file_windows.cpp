#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <io.h>

#include "common/windows_api.h"
#include "files/not_regular_file.h"
#include "files/regular_file.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

Failure SystemFailure(int error) { return Failure{std::generic_category().message(error)}; }

Failure LastFailure() {
  return Failure{std::system_category().message(static_cast<int>(::GetLastError()))};
}

}  // namespace

// Windows keeps its pipes and devices outside the folders a file dialog shows, so a look before
// opening is enough: what is there cannot turn into something that waits.
Result<RegularFile> RegularFile::Open(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!error && fs::exists(status) && !fs::is_regular_file(status)) {
    return Failure{NotRegularFileReason(status.type())};
  }
  // Sharing deletion too: a reader must not keep Ampelon from renaming or removing its journal.
  const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastFailure();
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle, &information)) {
    const Failure failure = LastFailure();
    ::CloseHandle(handle);
    return failure;
  }
  const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY);
  if (descriptor < 0) {
    ::CloseHandle(handle);
    return SystemFailure(errno);
  }
  RegularFile file(descriptor, 0);
  file.m_size =
      (static_cast<std::uintmax_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  // NTFS's index counts up each time an entry is used again, so it names one file for good.
  file.m_identity = {
      information.dwVolumeSerialNumber,
      (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
  return file;
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)),
      m_size(other.m_size),
      m_identity(other.m_identity) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
  if (this != &other) {
    if (m_handle >= 0) ::_close(m_handle);
    m_handle = std::exchange(other.m_handle, -1);
    m_size = other.m_size;
    m_identity = other.m_identity;
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

Result<std::size_t> RegularFile::ReadAt(std::uint64_t offset, std::span<char> buffer) {
  if (::_lseeki64(m_handle, static_cast<__int64>(offset), SEEK_SET) < 0) {
    return SystemFailure(errno);
  }
  return Read(buffer);
}

}  // namespace ampelon
