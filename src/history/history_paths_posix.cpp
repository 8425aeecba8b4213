#include <cstdlib>
#include <string>

#include "history/history_paths.h"

namespace ampelon {

Result<std::filesystem::path> ChargeLibraryPath() {
  std::filesystem::path base;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  // The XDG rules ignore a relative XDG_DATA_HOME.
  if (dataHome != nullptr && dataHome[0] == '/') {
    base = dataHome;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      return Failure{
          "Neither XDG_DATA_HOME nor HOME is set, so there is no place for the charge library."};
    }
    base = std::filesystem::path(home) / ".local" / "share";
  }
  return base / "Trevanix Ampelon" / "charges.sqlite";
}

}  // namespace ampelon
