#include "settings/ini_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace ampelon {

IniFileText ReadIniFile(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path at(std::u8string(path.begin(), path.end()));
  IniFileText file;
  std::error_code error;
  const fs::file_status status = fs::status(at, error);
  if (status.type() == fs::file_type::not_found) {
    file.text.emplace();
    return file;
  }
  file.exists = true;
  // Checked before opening: opening a pipe for reading waits for a writer.
  if (error) {
    file.problem = path + " cannot be read: " + error.message();
    return file;
  }
  if (!fs::is_regular_file(status)) {
    file.problem = path + " is not a regular file";
    return file;
  }
  std::ifstream stream(at, std::ios::binary);
  std::string bytes;
  char chunk[1 << 14];
  // Bounded even if the file grows while it is read.
  while (stream && bytes.size() <= kLargestIniFileBytes) {
    stream.read(chunk, sizeof chunk);
    bytes.append(chunk, static_cast<std::size_t>(stream.gcount()));
  }
  if (!stream.is_open() || stream.bad()) {
    file.problem = path + " cannot be read";
  } else if (bytes.size() > kLargestIniFileBytes) {
    file.problem = path + " is larger than 1 MiB";
  } else if (bytes.find('\0') != std::string::npos) {
    file.problem = path + " holds NUL bytes";
  } else {
    file.text = std::move(bytes);
  }
  return file;
}

}  // namespace ampelon
