#include "serial/port_device.h"

#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace ampelon {
namespace {

struct DeviceCase {
  DevicePlatform platform;
  int portNumber;
  std::string expected;
};

TEST(DefaultDeviceNameTest, MapsEachPortRangeAndRejectsNumbersOutsideIt) {
  const DeviceCase cases[] = {
      {DevicePlatform::kLinux, 1, "/dev/ttyS0"},
      {DevicePlatform::kLinux, 4, "/dev/ttyS3"},
      {DevicePlatform::kLinux, 5, "/dev/ttyUSB0"},
      {DevicePlatform::kLinux, 8, "/dev/ttyUSB3"},
      {DevicePlatform::kLinux, 9, "/dev/ttyACM0"},
      {DevicePlatform::kLinux, 12, "/dev/ttyACM3"},
      {DevicePlatform::kLinux, 0, ""},
      {DevicePlatform::kLinux, 13, ""},
      {DevicePlatform::kLinux, -1, ""},
      // Any stored number reaches the mapping, and it must not overflow on the extremes.
      {DevicePlatform::kLinux, std::numeric_limits<int>::min(), ""},
      {DevicePlatform::kLinux, std::numeric_limits<int>::max(), ""},
      {DevicePlatform::kWindows, 1, "COM1"},
      {DevicePlatform::kWindows, 12, "COM12"},
      {DevicePlatform::kWindows, 256, "COM256"},
      {DevicePlatform::kWindows, 0, ""},
      {DevicePlatform::kWindows, -3, ""},
      {DevicePlatform::kWindows, std::numeric_limits<int>::min(), ""},
  };
  for (const DeviceCase& c : cases) {
    SCOPED_TRACE("port " + std::to_string(c.portNumber));
    EXPECT_EQ(DefaultDeviceName(c.portNumber, c.platform), c.expected);
  }
}

TEST(DeviceNameForPortTest, OverrideWinsOnlyWhenItNamesAPath) {
  EXPECT_EQ(DeviceNameForPort(5, DevicePlatform::kLinux, "/dev/serial/by-id/usb-charger"),
            "/dev/serial/by-id/usb-charger");
  // An override also reaches numbers the numbering has no device for.
  EXPECT_EQ(DeviceNameForPort(13, DevicePlatform::kLinux, "/dev/rfcomm0"), "/dev/rfcomm0");
  EXPECT_EQ(DeviceNameForPort(5, DevicePlatform::kLinux, std::string()), "/dev/ttyUSB0");
  EXPECT_EQ(DeviceNameForPort(5, DevicePlatform::kLinux, std::nullopt), "/dev/ttyUSB0");
  EXPECT_EQ(DeviceNameForPort(13, DevicePlatform::kLinux, std::nullopt), "");
}

}  // namespace
}  // namespace ampelon
