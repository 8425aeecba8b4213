#include "serial/line_settings.h"

#include <charconv>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace ampelon {
namespace {

constexpr std::size_t kFieldCount = 4;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view field) {
  while (!field.empty() && IsBlank(field.front())) field.remove_prefix(1);
  while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
  return field;
}

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    fields.push_back(Trimmed(text.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

Failure Unsupported(std::string_view what, std::string_view field) {
  return {"Unsupported " + std::string(what) + " \"" + std::string(field) + "\""};
}

// Only plain decimal digits: from_chars alone would also take a leading minus sign.
std::optional<int> ParseSpeed(std::string_view field) {
  if (field.empty() || field.front() < '0' || field.front() > '9') return std::nullopt;
  int value = 0;
  const char* end = field.data() + field.size();
  const auto [ptr, ec] = std::from_chars(field.data(), end, value);
  if (ec != std::errc() || ptr != end || value <= 0) return std::nullopt;
  return value;
}

std::optional<LineSettings::Parity> ParseParity(std::string_view field) {
  if (field.size() != 1) return std::nullopt;
  switch (field.front()) {
    case 'n':
    case 'N':
      return LineSettings::Parity::kNone;
    case 'e':
    case 'E':
      return LineSettings::Parity::kEven;
    case 'o':
    case 'O':
      return LineSettings::Parity::kOdd;
    case 'm':
    case 'M':
      return LineSettings::Parity::kMark;
    case 's':
    case 'S':
      return LineSettings::Parity::kSpace;
    default:
      return std::nullopt;
  }
}

std::optional<int> ParseDataBits(std::string_view field) {
  if (field.size() != 1 || field.front() < '5' || field.front() > '8') return std::nullopt;
  return field.front() - '0';
}

std::optional<LineSettings::StopBits> ParseStopBits(std::string_view field) {
  if (field == "1") return LineSettings::StopBits::kOne;
  if (field == "1.5") return LineSettings::StopBits::kOneAndHalf;
  if (field == "2") return LineSettings::StopBits::kTwo;
  return std::nullopt;
}

}  // namespace

Result<LineSettings> ParseLineSettings(std::string_view text) {
  const std::vector<std::string_view> fields = SplitFields(text);
  if (fields.size() > kFieldCount) {
    return Failure{"Too many fields in line settings \"" + std::string(text) + "\""};
  }

  LineSettings settings;
  const std::optional<int> speed = ParseSpeed(fields[0]);
  if (!speed) return Unsupported("speed", fields[0]);
  settings.baudRate = *speed;

  if (fields.size() > 1) {
    const auto parity = ParseParity(fields[1]);
    if (!parity) return Unsupported("parity", fields[1]);
    settings.parity = *parity;
  }
  if (fields.size() > 2) {
    const auto dataBits = ParseDataBits(fields[2]);
    if (!dataBits) return Unsupported("data bits", fields[2]);
    settings.dataBits = *dataBits;
  }
  if (fields.size() > 3) {
    const auto stopBits = ParseStopBits(fields[3]);
    if (!stopBits) return Unsupported("stop bits", fields[3]);
    settings.stopBits = *stopBits;
  }
  return settings;
}

std::string DescribeLineSettings(const LineSettings& settings) {
  static constexpr const char* kParityNames[] = {"no", "even", "odd", "mark", "space"};
  static constexpr const char* kStopBitTexts[] = {"1 stop bit", "1.5 stop bits", "2 stop bits"};
  return std::to_string(settings.baudRate) + " baud, " + std::to_string(settings.dataBits) +
         " data bits, " + kParityNames[static_cast<int>(settings.parity)] + " parity, " +
         kStopBitTexts[static_cast<int>(settings.stopBits)];
}

}  // namespace ampelon
