#pragma once

#include <array>
#include <string>

#include "chart/voltage_window.h"

namespace ampelon {

// The texts of the seven axis labels, bottom (index 0) to top (index 6): the window divided into
// six equal steps, each written with two decimals and "V" ("0.80V", "1.05V").
// `decimalPoint` is the user's decimal separator.
std::array<std::string, 7> AxisLabelTexts(const VoltageWindow& window, char decimalPoint = '.');

// A voltage with at least one digit before the point and exactly two after it, rounded half away
// from zero, followed by "V".
std::string AxisLabelText(float volts, char decimalPoint = '.');

}  // namespace ampelon
