#pragma once

#include <optional>
#include <string>

#include "common/result.h"

namespace ampelon {

// Registers a device path for a port number in the settings file (key "COMn" of group [Ports])
// and takes the registration back, leaving every other line of the file as it was.
//
// The program rewrites the settings file without a lock, replacing it whole; so does this class
// (a new file renamed over the old), so neither side ever reads a half-written file.
class PortRegistration {
 public:
  PortRegistration(std::string settingsPath, int portNumber);
  ~PortRegistration();
  PortRegistration(const PortRegistration&) = delete;
  PortRegistration& operator=(const PortRegistration&) = delete;

  // $XDG_CONFIG_HOME (or ~/.config) + "/Trevanix Ampelon/settings.ini", where the program looks.
  static std::string DefaultSettingsPath();

  // Writes COMn=`devicePath`, creating the folder and the file when needed.
  Result<void> Register(const std::string& devicePath);

  // The value the key had before Register replaced it.
  const std::optional<std::string>& ReplacedValue() const { return m_replacedValue; }

  // Takes the registration back: when nobody changed the file meanwhile, its earlier text is
  // restored (a file this class created is removed); otherwise the key is restored to its
  // earlier value or removed, and only while it still names our device. An earlier value that
  // names a pseudo-terminal is not restored: it was left by a simulator that could not clean up,
  // and its number may belong to another terminal by now. Safe to call more than once.
  Result<void> Unregister();

 private:
  std::string m_settingsPath;
  std::string m_key;
  std::string m_devicePath;
  bool m_registered = false;
  bool m_createdFile = false;
  std::optional<std::string> m_replacedValue;
  std::optional<std::string> m_restoreValue;  // the earlier value to put back, if any
  std::string m_restoreText;                  // the file as it is to be left
  std::string m_writtenText;                  // the file as Register left it
};

}  // namespace ampelon
