#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ampelon {

// Paths travel through the program as UTF-8 text; on Windows the plain std::string conversions
// of std::filesystem would use the ANSI code page instead. On Unix both pass a path's bytes
// through unchanged, so a name that is no UTF-8 (which Unix allows) survives the trip too.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace ampelon
