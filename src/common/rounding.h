#pragma once

#include <cstdint>
#include <optional>

namespace ampelon {

// The nearest 16-bit integer to `value`, ties to even (2.5 gives 2, 3.5 gives 4); nothing when
// the rounded value lies outside -32768..32767 or `value` is not a number.
std::optional<std::int16_t> RoundToInt16(double value);

// `value` rounded to the nearest whole number, ties to even.
double RoundHalfEven(double value);

}  // namespace ampelon
