// The two stored serial settings on arbitrary text: the line settings parser, given the text
// alone and as the program builds it (the stored speed followed by ",n,8,1"), and the port
// number the text stands for mapped to a device; also the int the first bytes hold, as a port
// number.
// Checked: a parse that fails gives a reason; accepted settings are in range and read back the
// same when written plainly; a speed alone is accepted exactly when it is a decimal number
// 1..2147483647; a port number maps to the table's device or to none.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "fuzz_check.h"
#include "serial/line_settings.h"
#include "serial/port_device.h"

namespace ampelon::fuzz {
namespace {

constexpr const char* kParityLetters = "neoms";
constexpr const char* kStopBitsTexts[] = {"1", "1.5", "2"};
constexpr const char* kLinuxDevices[] = {
    "/dev/ttyS0",   "/dev/ttyS1",   "/dev/ttyS2",   "/dev/ttyS3",   "/dev/ttyUSB0", "/dev/ttyUSB1",
    "/dev/ttyUSB2", "/dev/ttyUSB3", "/dev/ttyACM0", "/dev/ttyACM1", "/dev/ttyACM2", "/dev/ttyACM3",
};

bool SameSettings(const LineSettings& a, const LineSettings& b) {
  return a.baudRate == b.baudRate && a.parity == b.parity && a.dataBits == b.dataBits &&
         a.stopBits == b.stopBits;
}

std::optional<LineSettings> CheckLineSettings(std::string_view text) {
  const Result<LineSettings> result = ParseLineSettings(text);
  if (!result) {
    FUZZ_CHECK(!result.error().empty());
    return std::nullopt;
  }
  const LineSettings& settings = *result;
  const auto parity = static_cast<std::size_t>(settings.parity);
  const auto stopBits = static_cast<std::size_t>(settings.stopBits);
  FUZZ_CHECK(settings.baudRate > 0);
  FUZZ_CHECK(parity < std::strlen(kParityLetters));
  FUZZ_CHECK(settings.dataBits >= 5 && settings.dataBits <= 8);
  FUZZ_CHECK(stopBits < std::size(kStopBitsTexts));

  const std::string plain = std::to_string(settings.baudRate) + "," + kParityLetters[parity] + "," +
                            std::to_string(settings.dataBits) + "," + kStopBitsTexts[stopBits];
  const Result<LineSettings> reread = ParseLineSettings(plain);
  FUZZ_CHECK(reread && SameSettings(*reread, settings));
  return settings;
}

// The speed field's rule, written apart from the parser: blanks (space, tab) around, then only
// decimal digits, leading zeros allowed, for a value of 1..2147483647.
std::optional<int> SpeedOf(std::string_view field) {
  while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) field.remove_prefix(1);
  while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
  if (field.empty()) return std::nullopt;
  long long value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483647) return std::nullopt;
  }
  if (value == 0) return std::nullopt;
  return static_cast<int>(value);
}

void CheckStoredSpeed(std::string_view speed) {
  const auto settings = CheckLineSettings(std::string(speed) + ",n,8,1");
  if (speed.find(',') != std::string_view::npos) return;  // then it is more than a speed
  const auto expected = SpeedOf(speed);
  FUZZ_CHECK(settings.has_value() == expected.has_value());
  if (settings) FUZZ_CHECK(settings->baudRate == *expected);
}

void CheckPortNumber(int port) {
  const std::string linuxDevice = DefaultDeviceName(port, DevicePlatform::kLinux);
  if (port >= 1 && port <= 12) {
    FUZZ_CHECK(linuxDevice == kLinuxDevices[port - 1]);
  } else {
    FUZZ_CHECK(linuxDevice.empty());
  }
  const std::string windowsDevice = DefaultDeviceName(port, DevicePlatform::kWindows);
  FUZZ_CHECK(windowsDevice == (port >= 1 ? "COM" + std::to_string(port) : std::string()));
  FUZZ_CHECK(DeviceNameForPort(port, DevicePlatform::kLinux, std::nullopt) == linuxDevice);
  FUZZ_CHECK(DeviceNameForPort(port, DevicePlatform::kLinux, "/dev/pts/3") == "/dev/pts/3");
}

// A text that is just the decimal text of an int stands for that port number.
void CheckPortText(std::string_view text) {
  const int port = PortNumberFromSetting(text);
  CheckPortNumber(port);
  int value = 0;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, value);
  if (error == std::errc() && end == last) FUZZ_CHECK(port == value);
}

}  // namespace
}  // namespace ampelon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ampelon;
  using namespace ampelon::fuzz;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckLineSettings(text);
  CheckStoredSpeed(text);
  CheckPortText(text);
  if (size >= sizeof(int)) {
    int port = 0;
    std::memcpy(&port, data, sizeof port);
    CheckPortNumber(port);
  }
  return 0;
}
