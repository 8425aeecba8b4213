#include "settings/ini_file.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "common/utf8_path.h"
#include "files/regular_file.h"

namespace ampelon {

Result<IniFileText> ReadIniFile(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path at = PathFromUtf8(path);
  std::error_code error;
  if (fs::status(at, error).type() == fs::file_type::not_found) return IniFileText{};
  Result<RegularFile> file = RegularFile::Open(at);
  if (!file) return Failure{path + " cannot be used: " + file.error()};
  std::string bytes;
  std::array<char, 1 << 14> chunk{};
  // Bounded even if the file grows while it is read.
  while (bytes.size() <= kLargestIniFileBytes) {
    const Result<std::size_t> count = file->Read(chunk);
    if (!count) return Failure{path + " cannot be read: " + count.error()};
    if (*count == 0) break;
    bytes.append(chunk.data(), *count);
  }
  if (bytes.size() > kLargestIniFileBytes) return Failure{path + " is larger than 1 MiB"};
  if (bytes.find('\0') != std::string::npos) return Failure{path + " holds NUL bytes"};
  return IniFileText{.exists = true, .text = std::move(bytes)};
}

}  // namespace ampelon
