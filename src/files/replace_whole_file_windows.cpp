#include <algorithm>
#include <atomic>
#include <string>
#include <system_error>

#include "common/windows_api.h"
#include "files/not_regular_file.h"
#include "files/replace_whole_file.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

Failure LastFailure() {
  return Failure{std::system_category().message(static_cast<int>(::GetLastError()))};
}

Result<void> WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), piece, &written, nullptr)) return LastFailure();
    bytes.remove_prefix(written);
  }
  return {};
}

// A name beside `target` that no file has yet, created empty for writing.
HANDLE CreateTemporary(const fs::path& target, fs::path& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    // A short name of its own: the file's name with anything added may be too long.
    temporary = target.parent_path() / (L".ampelon-" + std::to_wstring(::GetCurrentProcessId()) +
                                        L"-" + std::to_wstring(counter++) + L".tmp");
    const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

Result<void> CheckMayReplace(const fs::path& path) {
  // The rename would replace a file the user marked read-only.
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return Failure{kReadOnlyFileReason};
  }
  return {};
}

Result<void> ReplaceWholeFile(const fs::path& path, std::string_view bytes) {
  std::error_code error;
  fs::path target = fs::weakly_canonical(path, error);
  if (error) target = path;
  const fs::file_status status = fs::status(target, error);
  if (!error && fs::exists(status) && !fs::is_regular_file(status)) {
    return Failure{NotRegularFileReason(status.type())};
  }
  if (const Result<void> allowed = CheckMayReplace(target); !allowed) return allowed;
  fs::path temporary;
  const HANDLE file = CreateTemporary(target, temporary);
  if (file == INVALID_HANDLE_VALUE) return LastFailure();
  Result<void> written = WriteAll(file, bytes);
  if (written && !::FlushFileBuffers(file)) written = LastFailure();
  if (!::CloseHandle(file) && written) written = LastFailure();
  if (written && !::MoveFileExW(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    written = LastFailure();
  }
  if (!written) ::DeleteFileW(temporary.c_str());
  return written;
}

}  // namespace ampelon
