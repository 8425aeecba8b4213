#include "serial/port_override_file.h"

#include <utility>

#include "settings/ini_document.h"
#include "settings/ini_file.h"
#include "settings/setting_names.h"

namespace ampelon {

PortOverrideFile::PortOverrideFile(std::string filePath) : m_filePath(std::move(filePath)) {}

std::optional<std::string> PortOverrideFile::DevicePathFor(int portNumber) const {
  const Result<IniFileText> file = ReadIniFile(m_filePath);
  if (!file) return std::nullopt;
  std::optional<std::string> path =
      IniDocument(file->text).Value(settings::kPortsGroup, "COM" + std::to_string(portNumber));
  if (path && path->empty()) return std::nullopt;
  return path;
}

}  // namespace ampelon
