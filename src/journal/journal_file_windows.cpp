#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "journal/journal_file.h"

namespace ampelon {
namespace {

Failure SystemFailure() { return Failure{std::strerror(errno)}; }

}  // namespace

Result<std::unique_ptr<JournalFile>> JournalFile::Create(const std::filesystem::path& path) {
  const int handle = ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_APPEND | _O_BINARY,
                              _S_IREAD | _S_IWRITE);
  if (handle < 0) return SystemFailure();
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

Result<void> JournalFile::Empty() {
  if (::_chsize_s(m_handle, 0) != 0) return SystemFailure();
  return {};
}

Result<void> JournalFile::SyncData() {
  // _commit flushes the file's buffers to the disk (FlushFileBuffers).
  if (::_commit(m_handle) != 0) return SystemFailure();
  return {};
}

}  // namespace ampelon
