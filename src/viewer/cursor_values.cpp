#include "viewer/cursor_values.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/volts.h"

namespace ampelon {

std::optional<std::size_t> NearestPoint(const PlotSeries& series, const ColumnMapping& columns,
                                        const RowMapping& rows, double x, double y, int radius) {
  if (series.Size() == 0) return std::nullopt;
  const std::span<const float> volts = VoltsOfEveryReading();
  std::optional<std::size_t> nearest;
  double nearestDistance = std::numeric_limits<double>::infinity();
  const auto consider = [&](std::size_t point) {
    const double dx = (series.X(point) - columns.low) * columns.pixelsPerUnit - x;
    const double dy = (rows.high - volts[static_cast<std::size_t>(series.Count(point) + 32768)]) *
                          rows.pixelsPerVolt -
                      y;
    const double distance = dx * dx + dy * dy;
    if (distance < nearestDistance) {
      nearestDistance = distance;
      nearest = point;
    }
  };
  const std::size_t nextToPointer = series.FirstAtOrAfter(columns.low + x / columns.pixelsPerUnit);
  if (nextToPointer < series.Size()) consider(nextToPointer);
  if (nextToPointer > 0) consider(nextToPointer - 1);
  // Columns outward from the pointer's, until a column lies farther off than the nearest point
  // found: a zoomed-out plot holds thousands of points a column.
  const auto pointerColumn = static_cast<int>(std::floor(x));
  for (int distance = 0; distance <= radius; ++distance) {
    const double edge = std::max(0.0, distance - 1.0);
    if (edge * edge > nearestDistance) break;
    for (const int column : {pointerColumn - distance, pointerColumn + distance}) {
      const std::size_t first = FirstPointInOrAfter(series, columns, column);
      const std::size_t last = FirstPointInOrAfter(series, columns, column + 1, first);
      for (std::size_t point = first; point < last; ++point) consider(point);
      if (distance == 0) break;
    }
  }
  return nearest;
}

ReadingValues ValuesOf(const Charge& charge, std::size_t reading) {
  ReadingValues values;
  values.sampleNumber = reading + 1;
  values.count = charge.counts[reading];
  values.volts = Volts(values.count);
  if (reading < charge.seconds.size() && std::isfinite(charge.seconds[reading])) {
    values.seconds = charge.seconds[reading];
  }
  return values;
}

MarkerDifference DifferenceOf(const ReadingValues& a, const ReadingValues& b) {
  MarkerDifference difference;
  difference.samples =
      static_cast<long long>(b.sampleNumber) - static_cast<long long>(a.sampleNumber);
  difference.volts = static_cast<double>(b.volts) - static_cast<double>(a.volts);
  if (a.seconds && b.seconds) {
    difference.seconds = *b.seconds - *a.seconds;
    if (*difference.seconds != 0) {
      difference.millivoltsPerMinute = difference.volts * 1000 / (*difference.seconds / 60);
    }
  }
  return difference;
}

}  // namespace ampelon
