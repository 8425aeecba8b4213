#pragma once

#include <filesystem>

#include "common/result.h"

namespace ampelon {

// Where this user's charge library lives: $XDG_DATA_HOME/Trevanix Ampelon/charges.sqlite
// (~/.local/share when unset), %LOCALAPPDATA%\Trevanix Ampelon\charges.sqlite on Windows. The
// folder is not created here; ChargeLibrary::Open does that.
Result<std::filesystem::path> ChargeLibraryPath();

}  // namespace ampelon
