#pragma once

#include <string>

#include "common/result.h"
#include "viewer/charge_file.h"

namespace ampelon {

// Reads the graph log `fileName` (UTF-8) whole, and the times file beside it when there is one.
// Only regular files are read, and none is waited on. A times file that cannot be read leaves
// the charge without times and says so in the notes.
Result<ChargeFile> LoadChargeFile(const std::string& fileName);

}  // namespace ampelon
