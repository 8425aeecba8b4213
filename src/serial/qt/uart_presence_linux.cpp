#include "serial/qt/uart_presence.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string_view>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ampelon {
namespace {

constexpr std::string_view kLegacyUartPrefix = "ttyS";

// The node's kernel name ("ttyS2") when the path, after following links such as
// /dev/serial/by-path/..., is a legacy UART node in `devFolder`.
std::optional<std::string> LegacyUartName(const std::string& devicePath,
                                          const std::string& devFolder) {
  char resolved[PATH_MAX];
  if (realpath(devicePath.c_str(), resolved) == nullptr) return std::nullopt;
  const std::string_view path(resolved);
  if (!path.starts_with(devFolder)) return std::nullopt;
  const std::string_view name = path.substr(devFolder.size());
  if (name.size() <= kLegacyUartPrefix.size() || !name.starts_with(kLegacyUartPrefix)) {
    return std::nullopt;
  }
  for (const char c : name.substr(kLegacyUartPrefix.size())) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return std::string(name);
}

// The port type from sysfs, which needs neither permission on the node nor opening it (opening
// a real UART would toggle its DTR line just before the real open).
std::optional<int> PortTypeFromSysfs(const std::string& kernelName, const std::string& systemRoot) {
  std::ifstream typeFile(systemRoot + "/sys/class/tty/" + kernelName + "/type");
  int type = 0;
  if (!(typeFile >> type)) return std::nullopt;
  return type;
}

std::optional<int> PortTypeFromDevice(const std::string& devicePath) {
  const int fd = ::open(devicePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  serial_struct info{};
  const bool known = ::ioctl(fd, TIOCGSERIAL, &info) == 0;
  ::close(fd);
  if (!known) return std::nullopt;
  return info.type;
}

}  // namespace

bool UartHardwarePresent(const std::string& devicePath, const std::string& systemRoot) {
  const std::optional<std::string> kernelName = LegacyUartName(devicePath, systemRoot + "/dev/");
  if (!kernelName) return true;
  std::optional<int> type = PortTypeFromSysfs(*kernelName, systemRoot);
  if (!type) type = PortTypeFromDevice(devicePath);
  return !type || *type != PORT_UNKNOWN;
}

}  // namespace ampelon
