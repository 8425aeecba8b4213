#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "viewer/charge.h"
#include "viewer/column_trace.h"
#include "viewer/plot_series.h"

namespace ampelon {

// The point of `series` nearest to the pixel (x, y), among the points within `radius` columns of
// it and the two either side of its x; nothing for an empty series.
std::optional<std::size_t> NearestPoint(const PlotSeries& series, const ColumnMapping& columns,
                                        const RowMapping& rows, double x, double y, int radius);

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
