#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ampelon {

// Far above any real settings file; a larger one is not read at all.
inline constexpr std::uintmax_t kLargestIniFileBytes = 1 << 20;

// What lies at the settings file's path.
struct IniFileText {
  bool exists = false;
  // The file's bytes: the empty text when nothing lies there; nothing when what lies there
  // cannot be used as the settings file.
  std::optional<std::string> text;
  // Why not, for the user ("PATH is not a regular file"); empty when `text` holds the bytes.
  std::string problem;
};

// Reads the settings file at `path` (UTF-8) whole, without ever blocking: anything but a regular
// file (a folder, a pipe, a device) is refused before it is opened, and so is a file larger than
// kLargestIniFileBytes or holding NUL bytes (not a text file).
IniFileText ReadIniFile(const std::string& path);

}  // namespace ampelon
