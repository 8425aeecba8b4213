#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <io.h>

#include "common/windows_api.h"
#include "journal/journal_file.h"

namespace ampelon {
namespace {

Failure SystemFailure() { return Failure{std::strerror(errno)}; }

}  // namespace

Result<std::unique_ptr<JournalFile>> JournalFile::Create(const std::filesystem::path& path) {
  // Shared for deletion, so that the file can be renamed into place while it is written.
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return Failure{std::system_category().message(static_cast<int>(::GetLastError()))};
  }
  const int handle = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_APPEND);
  if (handle < 0) {
    ::CloseHandle(file);
    return SystemFailure();
  }
  return std::unique_ptr<JournalFile>(new JournalFile(handle));
}

JournalFile::~JournalFile() { ::_close(m_handle); }

Result<void> JournalFile::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    const auto piece = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), INT_MAX));
    const int written = ::_write(m_handle, bytes.data(), piece);
    if (written < 0) return SystemFailure();
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

Result<void> JournalFile::SyncData() {
  // _commit flushes the file's buffers to the disk (FlushFileBuffers).
  if (::_commit(m_handle) != 0) return SystemFailure();
  return {};
}

// Windows has no call that flushes a folder: the renames are as safe as NTFS's own log keeps
// them.
Result<void> SyncFolder(const std::filesystem::path&) { return {}; }

}  // namespace ampelon
