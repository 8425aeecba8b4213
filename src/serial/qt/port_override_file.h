#pragma once

#include <optional>
#include <string>

namespace ampelon {

// The user's own device paths for port numbers, for devices the numbering does not reach
// (/dev/serial/by-id links, Bluetooth serial, pseudo-terminals): key "COMn" of group "Ports" in
// an INI file. The file is read again at every lookup, so an edit applies at the next open.
class PortOverrideFile {
 public:
  // The per-user settings file, <generic config location>/Trevanix Ampelon/settings.ini.
  PortOverrideFile();
  explicit PortOverrideFile(std::string filePath);

  static std::string DefaultFilePath();

  // The device path given for that port number; nothing when the file, the key or its value is
  // missing or empty.
  std::optional<std::string> DevicePathFor(int portNumber) const;

 private:
  std::string m_filePath;
};

}  // namespace ampelon
