#pragma once

#include <optional>
#include <string>

namespace ampelon {

// The user's own device paths for port numbers, for devices the numbering does not reach
// (/dev/serial/by-id links, Bluetooth serial, pseudo-terminals): key "COMn" of group [Ports] in
// the settings file. The file is read again at every lookup, so an edit applies at the next
// open; reading never blocks (see ReadIniFile).
class PortOverrideFile {
 public:
  // `filePath` is the settings file, in UTF-8.
  explicit PortOverrideFile(std::string filePath);

  // The device path given for that port number; nothing when the file, the key or its value is
  // missing or empty, or the file cannot be read.
  std::optional<std::string> DevicePathFor(int portNumber) const;

 private:
  std::string m_filePath;
};

}  // namespace ampelon
