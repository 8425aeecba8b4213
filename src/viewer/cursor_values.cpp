#include "viewer/cursor_values.h"

#include <cmath>

#include "common/volts.h"

namespace ampelon {

std::optional<std::size_t> PointAtX(const PlotSeries& series, double x, double reach) {
  const std::size_t size = series.Size();
  if (size == 0 || !(x >= series.X(0) - reach) || !(x <= series.X(size - 1) + reach)) {
    return std::nullopt;
  }
  const std::size_t after = series.FirstAtOrAfter(x);
  if (after == size) return size - 1;
  if (after == 0) return 0;
  return x - series.X(after - 1) <= series.X(after) - x ? after - 1 : after;
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
