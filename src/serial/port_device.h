#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ampelon {

enum class DevicePlatform { kLinux, kWindows };

// The platform this program was built for; decides how port numbers map to devices.
constexpr DevicePlatform CurrentDevicePlatform() {
#ifdef _WIN32
  return DevicePlatform::kWindows;
#else
  return DevicePlatform::kLinux;
#endif
}

// The port number a stored "Serial Port Number" text stands for: its leading number rounded to
// a whole number, ties to even. A text without a number, or with one beyond what an int holds,
// gives 0, which no device answers to.
int PortNumberFromSetting(std::string_view text);

// The device a port number stands for when the user has not named one. On Linux the twelve
// numbers cover the three usual kinds of serial node: 1-4 /dev/ttyS0-3 (built-in UARTs), 5-8
// /dev/ttyUSB0-3 (USB adapters), 9-12 /dev/ttyACM0-3 (USB modem-class devices). On Windows port n
// is "COMn" for any n >= 1. Empty when the platform has no device for that number.
std::string DefaultDeviceName(int portNumber, DevicePlatform platform);

// The device to open for a port number: the user's override path when one is given and not empty,
// otherwise DefaultDeviceName(). Empty when there is neither.
std::string DeviceNameForPort(int portNumber, DevicePlatform platform,
                              const std::optional<std::string>& overridePath);

}  // namespace ampelon
