#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "viewer/charge.h"
#include "viewer/plot_series.h"

namespace ampelon {

// The point of `series` whose x lies nearest to `x`: what the series reads at that x, whatever
// the pointer's height, so that every curve is read at the same moment. Nothing for an empty
// series or an `x` more than `reach` (axis units) before its first point or after its last.
std::optional<std::size_t> PointAtX(const PlotSeries& series, double x, double reach);

// What the read-out says about one reading.
struct ReadingValues {
  std::size_t sampleNumber = 0;  // 1 for the first reading
  std::optional<double> seconds;
  std::int16_t count = 0;
  float volts = 0;
};
ReadingValues ValuesOf(const Charge& charge, std::size_t reading);

// From marker A to marker B.
struct MarkerDifference {
  long long samples = 0;
  std::optional<double> seconds;  // where both times are known
  double volts = 0;
  std::optional<double> millivoltsPerMinute;  // where the times differ
};
MarkerDifference DifferenceOf(const ReadingValues& a, const ReadingValues& b);

}  // namespace ampelon
