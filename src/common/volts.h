#pragma once

#include <cstdint>
#include <span>

namespace ampelon {

// The converter's full-scale count: 4095 stands for 2.5 V.
inline constexpr int kFullScale = 4095;
inline constexpr double kFullScaleVolts = 2.5;

// A reading in volts: reading / 4095 * 2.5 in double precision, rounded once to float.
float Volts(std::int16_t reading);
// The converter count that stands for `volts`, not rounded: the inverse of Volts().
double CountsForVolts(double volts);

// Volts() of every reading, -32768 first: a table built once, so that plotting a full store
// costs a lookup per reading instead of a division.
std::span<const float> VoltsOfEveryReading();

}  // namespace ampelon
