#pragma once

#include <cstdint>
#include <string>

#include "common/result.h"

namespace ampelon {

// Far above any real settings file; a larger one is not read at all.
inline constexpr std::uintmax_t kLargestIniFileBytes = 1 << 20;

// What lies at the settings file's path, when it can be used as the settings file.
struct IniFileText {
  bool exists = false;
  std::string text;  // the file's bytes; the empty text when nothing lies there
};

// Reads the settings file at `path` (UTF-8) whole, without ever blocking: anything but a regular
// file (a folder, a pipe, a device) is refused as RegularFile refuses it, and so is a file larger
// than kLargestIniFileBytes or holding NUL bytes (not a text file). A refusal says why, for the
// user ("PATH cannot be used: It is a folder, not a regular file").
Result<IniFileText> ReadIniFile(const std::string& path);

}  // namespace ampelon
