#include "charger/port_registration.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "charger/ports_section.h"

namespace ampelon {
namespace {

// A settings file is a few kilobytes; anything much larger is not one.
constexpr std::size_t kLargestFileBytes = std::size_t{1} << 20;
constexpr std::string_view kPseudoTerminalFolder = "/dev/pts/";

std::string Reason(const std::string& path, const char* what) {
  return path + ": " + what + ": " + std::strerror(errno);
}

struct FileText {
  bool exists = false;
  std::string text;
  std::optional<std::string> error;
};

FileText ReadFile(const std::string& path) {
  FileText result;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno != ENOENT) result.error = Reason(path, "cannot open");
    return result;
  }
  result.exists = true;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    result.error = path + ": not a regular file";
  } else {
    char chunk[8192];
    ssize_t got = 0;
    while ((got = ::read(fd, chunk, sizeof chunk)) > 0 && result.text.size() <= kLargestFileBytes) {
      result.text.append(chunk, static_cast<std::size_t>(got));
    }
    if (got < 0) result.error = Reason(path, "cannot read");
    if (result.text.size() > kLargestFileBytes) result.error = path + ": too large";
  }
  ::close(fd);
  return result;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t done = ::write(fd, text.data(), text.size());
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

// Writes a new file beside `path` and renames it over `path`, through a symbolic link to its
// target, keeping the old file's permissions.
std::optional<std::string> ReplaceFile(const std::string& path, std::string_view text) {
  std::string target = path;
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    target = resolved;
    std::free(resolved);
  }
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  std::string temporary = folder + ".settings.ini.XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Reason(folder, "cannot create a file");
  struct stat info {};
  const mode_t mode = ::stat(target.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
  // mkstemp makes the file 0600; a new settings file gets the usual 0666 less the umask.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const bool written = ::fchmod(fd, mode != 0 ? mode : 0666 & ~mask) == 0 && WriteAll(fd, text);
  if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    const std::string reason = Reason(target, "cannot write");
    ::unlink(temporary.c_str());
    return reason;
  }
  return std::nullopt;
}

std::optional<std::string> MakeFolders(const std::string& filePath) {
  for (std::size_t slash = filePath.find('/', 1); slash != std::string::npos;
       slash = filePath.find('/', slash + 1)) {
    const std::string folder = filePath.substr(0, slash);
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
      return Reason(folder, "cannot create the folder");
    }
  }
  return std::nullopt;
}

}  // namespace

PortRegistration::PortRegistration(std::string settingsPath, int portNumber)
    : m_settingsPath(std::move(settingsPath)), m_key("COM" + std::to_string(portNumber)) {}

PortRegistration::~PortRegistration() { Unregister(); }

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

std::optional<std::string> PortRegistration::Register(const std::string& devicePath) {
  if (auto error = MakeFolders(m_settingsPath)) return error;
  FileText file = ReadFile(m_settingsPath);
  if (file.error) return file.error;
  if (file.exists && ::access(m_settingsPath.c_str(), W_OK) != 0) {
    return Reason(m_settingsPath, "cannot change");
  }

  PortsSection section(file.text);
  m_replacedValue = section.Value(m_key);
  const bool restore =
      m_replacedValue && !std::string_view(*m_replacedValue).starts_with(kPseudoTerminalFolder);
  m_restoreLine = restore ? section.EntryLine(m_key) : std::nullopt;
  if (m_replacedValue && !restore) {
    PortsSection cleaned(file.text);
    cleaned.RemoveValue(m_key);
    m_restoreText = cleaned.Text();
  } else {
    m_restoreText = file.text;
  }

  section.SetValue(m_key, devicePath);
  m_writtenText = section.Text();
  if (auto error = ReplaceFile(m_settingsPath, m_writtenText)) return error;
  m_devicePath = devicePath;
  m_createdFile = !file.exists;
  m_registered = true;
  return std::nullopt;
}

std::optional<std::string> PortRegistration::Unregister() {
  if (!m_registered) return std::nullopt;
  m_registered = false;
  FileText file = ReadFile(m_settingsPath);
  if (file.error) return file.error;
  if (!file.exists) return std::nullopt;  // deleted meanwhile: nothing left to take back
  if (file.text == m_writtenText) {
    if (m_createdFile && m_restoreText.empty()) {
      if (::unlink(m_settingsPath.c_str()) != 0) return Reason(m_settingsPath, "cannot remove");
      return std::nullopt;
    }
    return ReplaceFile(m_settingsPath, m_restoreText);
  }
  PortsSection section(file.text);
  if (section.Value(m_key) != m_devicePath) return std::nullopt;  // someone else's now
  if (m_restoreLine) {
    section.SetEntryLine(m_key, *m_restoreLine);
  } else {
    section.RemoveValue(m_key);
  }
  return ReplaceFile(m_settingsPath, section.Text());
}

}  // namespace ampelon
