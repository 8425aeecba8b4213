#include "common/number_text.h"

#include <charconv>
#include <cmath>

namespace ampelon {
namespace {

std::string FormatSignificant(double value, int significantDigits) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
  if (value == 0.0) return "0";  // also turns -0 into "0"

  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::general, significantDigits);
  std::string text(buffer, result.ptr);

  if (const auto e = text.find('e'); e != std::string::npos) text[e] = 'E';
  if (text.starts_with("0.")) {
    text.erase(0, 1);
  } else if (text.starts_with("-0.")) {
    text.erase(1, 1);
  }
  return text;
}

}  // namespace

std::string NumberText(float value) { return FormatSignificant(value, 7); }

std::string NumberText(double value) {
  // At 15 digits the doubles nearest the top of the range round up to "1.79769313486232E+308",
  // which reads back as infinity: they are written rounded toward zero instead.
  constexpr double kLargestWritten = 1.79769313486231e308;
  if (std::isfinite(value) && std::fabs(value) > kLargestWritten) {
    value = std::copysign(kLargestWritten, value);
  }
  return FormatSignificant(value, 15);
}

}  // namespace ampelon
