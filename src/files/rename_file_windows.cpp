#include <atomic>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "common/windows_api.h"
#include "files/rename_file.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

// The Windows 10 names, which MinGW's headers hide behind a version test they cannot pass.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kRenameReplaceIfExists = 0x1;
constexpr DWORD kRenamePosixSemantics = 0x2;

Failure ErrorFailure(DWORD error) {
  return Failure{std::system_category().message(static_cast<int>(error))};
}

// A name beside `path` that no other rename uses.
fs::path SideName(const fs::path& path) {
  static std::atomic<unsigned> counter{0};
  return path.parent_path() /
         (path.filename().wstring() + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(counter++) + L".old");
}

// Windows 10 replaces a file that others hold open when asked for POSIX semantics.
bool RenameReplacingOpenFile(const fs::path& from, const fs::path& to) {
  const HANDLE file =
      ::CreateFileW(from.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::wstring name = to.wstring();
  const std::size_t nameBytes = name.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* information = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  const DWORD flags = kRenameReplaceIfExists | kRenamePosixSemantics;
  std::memcpy(information, &flags, sizeof(flags));  // the union's Flags, hidden alike
  information->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(information->FileName, name.data(), nameBytes);
  const bool renamed = ::SetFileInformationByHandle(file, kFileRenameInfoEx, information,
                                                    static_cast<DWORD>(buffer.size())) != 0;
  ::CloseHandle(file);
  return renamed;
}

}  // namespace

Result<void> RenameFile(const fs::path& from, const fs::path& to) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return {};
  DWORD error = ::GetLastError();
  if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
    return ErrorFailure(error);
  }
  // `to` is open in another program, which shares it for deletion.
  if (RenameReplacingOpenFile(from, to)) return {};
  // Older systems: the open file is moved out of the way first (that much they allow), and
  // removed once its reader lets go.
  const fs::path side = SideName(to);
  if (!::MoveFileExW(to.c_str(), side.c_str(), 0)) return ErrorFailure(error);
  if (::MoveFileExW(from.c_str(), to.c_str(), 0)) {
    ::DeleteFileW(side.c_str());
    return {};
  }
  error = ::GetLastError();
  ::MoveFileExW(side.c_str(), to.c_str(), 0);
  return ErrorFailure(error);
}

Result<void> RemoveFile(const fs::path& path) {
  // A file removed while another program holds it keeps its name until that program lets go;
  // renamed first, it leaves the name free at once.
  const fs::path side = SideName(path);
  const fs::path& removed = ::MoveFileExW(path.c_str(), side.c_str(), 0) ? side : path;
  if (!::DeleteFileW(removed.c_str())) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return ErrorFailure(error);
  }
  return {};
}

}  // namespace ampelon
