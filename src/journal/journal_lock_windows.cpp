#include <system_error>

#include "common/utf8_path.h"
#include "common/windows_api.h"
#include "journal/journal_lock.h"

namespace ampelon {
namespace {

std::string SystemReason(DWORD error) {
  return std::system_category().message(static_cast<int>(error));
}

}  // namespace

Result<std::unique_ptr<JournalLock>> JournalLock::Take(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    return Failure{"Could not create the folder " + Utf8FromPath(folder) + ": " + error.message()};
  }
  const std::filesystem::path path = folder / kLockName;
  // Shared in every way, so that a program that merely looks at the file holds nothing up: the
  // lock is a byte range, which the system frees when the program ends.
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return Failure{"Could not open " + Utf8FromPath(path) + ": " + SystemReason(::GetLastError())};
  }
  OVERLAPPED start{};
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) {
    const DWORD reason = ::GetLastError();
    ::CloseHandle(file);
    if (reason == ERROR_LOCK_VIOLATION) return std::unique_ptr<JournalLock>();
    return Failure{"Could not lock " + Utf8FromPath(path) + ": " + SystemReason(reason)};
  }
  return std::unique_ptr<JournalLock>(new JournalLock(reinterpret_cast<std::intptr_t>(file)));
}

JournalLock::~JournalLock() { ::CloseHandle(reinterpret_cast<HANDLE>(m_handle)); }

}  // namespace ampelon
