#include "settings/ini_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace ampelon {

Result<IniFileText> ReadIniFile(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path at(std::u8string(path.begin(), path.end()));
  std::error_code error;
  const fs::file_status status = fs::status(at, error);
  if (status.type() == fs::file_type::not_found) return IniFileText{};
  // Checked before opening: opening a pipe for reading waits for a writer.
  if (error) return Failure{path + " cannot be read: " + error.message()};
  if (!fs::is_regular_file(status)) return Failure{path + " is not a regular file"};
  std::ifstream stream(at, std::ios::binary);
  std::string bytes;
  char chunk[1 << 14];
  // Bounded even if the file grows while it is read.
  while (stream && bytes.size() <= kLargestIniFileBytes) {
    stream.read(chunk, sizeof chunk);
    bytes.append(chunk, static_cast<std::size_t>(stream.gcount()));
  }
  if (!stream.is_open() || stream.bad()) return Failure{path + " cannot be read"};
  if (bytes.size() > kLargestIniFileBytes) return Failure{path + " is larger than 1 MiB"};
  if (bytes.find('\0') != std::string::npos) return Failure{path + " holds NUL bytes"};
  return IniFileText{.exists = true, .text = std::move(bytes)};
}

}  // namespace ampelon
