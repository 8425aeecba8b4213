#include "history/history_paths.h"

// The Windows API before the shell header that needs it.
#include "common/windows_api.h"

#include <shlobj.h>

namespace ampelon {

Result<std::filesystem::path> ChargeLibraryPath() {
  PWSTR folder = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) {
    CoTaskMemFree(folder);
    return Failure{"Windows does not say where this user's local application data lives."};
  }
  std::filesystem::path base(folder);
  CoTaskMemFree(folder);
  return base / L"Trevanix Ampelon" / L"charges.sqlite";
}

}  // namespace ampelon
