#include "chart/axis_labels.h"

#include <cmath>

#include "common/number_text.h"

namespace ampelon {

std::string AxisLabelText(float volts, char decimalPoint) {
  // Beyond this the two-decimal form would not fit a whole number; such a window is nonsense
  // anyway, but its label must still be readable.
  constexpr float kLargest = 1e12f;
  if (!std::isfinite(volts) || std::fabs(volts) >= kLargest) return NumberText(volts) + "V";
  const double hundredths = std::round(std::fabs(static_cast<double>(volts)) * 100.0);
  const auto whole = static_cast<long long>(std::floor(hundredths / 100.0));
  const auto fraction = static_cast<int>(hundredths - static_cast<double>(whole) * 100.0);
  std::string text;
  if (volts < 0 && hundredths > 0) text += '-';
  text += std::to_string(whole);
  text += decimalPoint;
  text += static_cast<char>('0' + fraction / 10);
  text += static_cast<char>('0' + fraction % 10);
  text += 'V';
  return text;
}

std::array<std::string, 7> AxisLabelTexts(const VoltageWindow& window, char decimalPoint) {
  std::array<std::string, 7> texts;
  const double height = static_cast<double>(window.upperVolts) - window.lowerVolts;
  for (int k = 0; k < 7; ++k) {
    const auto value = static_cast<float>(height * k / 6 + window.lowerVolts);
    texts[static_cast<std::size_t>(k)] = AxisLabelText(value, decimalPoint);
  }
  return texts;
}

}  // namespace ampelon
