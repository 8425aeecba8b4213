#pragma once

#include <concepts>
#include <string>

namespace ampelon {

// The decimal text of a number as the program writes it into settings, files and read-outs:
// no leading blank, "-" for negative values, whole values as their digits, other values rounded
// to 7 significant digits (float) or 15 (double) with trailing zeros dropped and no "0" before
// the point (0.3 gives ".3", -0.5 gives "-.5"). The decimal point is "." whatever the locale.
// Magnitudes outside the digit range take exponent form ("1.234568E+07").
std::string NumberText(float value);
std::string NumberText(double value);

template <std::integral T>
std::string NumberText(T value) {
  return std::to_string(value);
}

}  // namespace ampelon
