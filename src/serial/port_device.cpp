#include "serial/port_device.h"

#include <array>
#include <string_view>

namespace ampelon {
namespace {

struct LinuxPortRange {
  int firstPort;
  std::string_view devicePrefix;
};

constexpr int kPortsPerRange = 4;
constexpr std::array<LinuxPortRange, 3> kLinuxRanges = {{
    {1, "/dev/ttyS"},
    {5, "/dev/ttyUSB"},
    {9, "/dev/ttyACM"},
}};

std::string LinuxDeviceName(int portNumber) {
  for (const LinuxPortRange& range : kLinuxRanges) {
    const int index = portNumber - range.firstPort;
    if (index >= 0 && index < kPortsPerRange) {
      return std::string(range.devicePrefix) + std::to_string(index);
    }
  }
  return {};
}

}  // namespace

std::string DefaultDeviceName(int portNumber, DevicePlatform platform) {
  switch (platform) {
    case DevicePlatform::kLinux:
      return LinuxDeviceName(portNumber);
    case DevicePlatform::kWindows:
      return portNumber >= 1 ? "COM" + std::to_string(portNumber) : std::string();
  }
  return {};
}

std::string DeviceNameForPort(int portNumber, DevicePlatform platform,
                              const std::optional<std::string>& overridePath) {
  if (overridePath.has_value() && !overridePath->empty()) return *overridePath;
  return DefaultDeviceName(portNumber, platform);
}

}  // namespace ampelon
