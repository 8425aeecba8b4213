#include "serial/port_device.h"

#include <array>
#include <limits>

#include "common/leading_number.h"
#include "common/rounding.h"

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
    // Compared before subtracting: a stored number may be any int, and INT_MIN - 1 overflows.
    if (portNumber >= range.firstPort && portNumber < range.firstPort + kPortsPerRange) {
      return std::string(range.devicePrefix) + std::to_string(portNumber - range.firstPort);
    }
  }
  return {};
}

}  // namespace

int PortNumberFromSetting(std::string_view text) {
  const double rounded = RoundHalfEven(LeadingNumber(text));
  // Also false for a NaN or an infinity.
  if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max())) {
    return 0;
  }
  return static_cast<int>(rounded);
}

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
