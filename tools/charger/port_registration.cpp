#include "charger/port_registration.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "files/replace_whole_file.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"
#include "settings/setting_names.h"

namespace ampelon {
namespace {

constexpr std::string_view kPseudoTerminalFolder = "/dev/pts/";

std::string Reason(const std::string& path, const char* what) {
  return path + ": " + what + ": " + std::strerror(errno);
}

// The settings file replaced in one step, as the program replaces it.
Result<void> ReplaceSettings(const std::string& path, std::string_view text) {
  if (const Result<void> replaced = ReplaceWholeFile(path, text); !replaced) {
    return Failure{path + ": cannot write: " + replaced.error()};
  }
  return {};
}

Result<void> MakeFolders(const std::string& filePath) {
  for (std::size_t slash = filePath.find('/', 1); slash != std::string::npos;
       slash = filePath.find('/', slash + 1)) {
    const std::string folder = filePath.substr(0, slash);
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
      return Failure{Reason(folder, "cannot create the folder")};
    }
  }
  return {};
}

}  // namespace

PortRegistration::PortRegistration(std::string settingsPath, int portNumber)
    : m_settingsPath(std::move(settingsPath)), m_key("COM" + std::to_string(portNumber)) {}

// A registration left behind is taken back, though nobody is left to hear of a failure.
PortRegistration::~PortRegistration() { static_cast<void>(Unregister()); }

std::string PortRegistration::DefaultSettingsPath() {
  std::string base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if ((!home || !*home) && ::getpwuid(::getuid())) home = ::getpwuid(::getuid())->pw_dir;
    base = std::string(home ? home : "") + "/.config";
  }
  return base + "/Trevanix Ampelon/settings.ini";
}

Result<void> PortRegistration::Register(const std::string& devicePath) {
  if (Result<void> made = MakeFolders(m_settingsPath); !made) return made;
  const Result<IniFileText> file = ReadIniFile(m_settingsPath);
  if (!file) return Failure{file.error()};
  if (file->exists && ::access(m_settingsPath.c_str(), W_OK) != 0) {
    return Failure{Reason(m_settingsPath, "cannot change")};
  }

  IniDocument document(file->text);
  m_replacedValue = document.Value(settings::kPortsGroup, m_key);
  const bool stale =
      m_replacedValue && std::string_view(*m_replacedValue).starts_with(kPseudoTerminalFolder);
  m_restoreValue = stale ? std::nullopt : m_replacedValue;
  if (stale) {
    IniDocument cleaned(file->text);
    cleaned.RemoveValue(settings::kPortsGroup, m_key);
    m_restoreText = cleaned.Text();
  } else {
    m_restoreText = file->text;
  }

  document.SetValue(settings::kPortsGroup, m_key, devicePath);
  m_writtenText = document.Text();
  if (Result<void> written = ReplaceSettings(m_settingsPath, m_writtenText); !written) {
    return written;
  }
  m_devicePath = devicePath;
  m_createdFile = !file->exists;
  m_registered = true;
  return {};
}

Result<void> PortRegistration::Unregister() {
  if (!m_registered) return {};
  m_registered = false;
  const Result<IniFileText> file = ReadIniFile(m_settingsPath);
  if (!file) return Failure{file.error()};
  if (!file->exists) return {};  // deleted meanwhile: nothing left to take back
  if (file->text == m_writtenText) {
    if (m_createdFile && m_restoreText.empty()) {
      if (::unlink(m_settingsPath.c_str()) != 0) {
        return Failure{Reason(m_settingsPath, "cannot remove")};
      }
      return {};
    }
    return ReplaceSettings(m_settingsPath, m_restoreText);
  }
  IniDocument document(file->text);
  if (document.Value(settings::kPortsGroup, m_key) != m_devicePath) {
    return {};  // someone else's now
  }
  if (m_restoreValue) {
    document.SetValue(settings::kPortsGroup, m_key, *m_restoreValue);
  } else {
    document.RemoveValue(settings::kPortsGroup, m_key);
  }
  return ReplaceSettings(m_settingsPath, document.Text());
}

}  // namespace ampelon
