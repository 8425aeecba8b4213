#include <windows.h>

#include <shlobj.h>

#include "history/history_paths.h"

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
