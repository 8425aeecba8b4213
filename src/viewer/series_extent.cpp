#include "viewer/series_extent.h"

#include <algorithm>

#include "common/volts.h"

namespace ampelon {

std::optional<AxisRange> XExtent(std::initializer_list<const PlotSeries*> series) {
  std::optional<AxisRange> extent;
  for (const PlotSeries* one : series) {
    if (one == nullptr || one->Size() == 0) continue;
    const AxisRange range{one->X(0), one->X(one->Size() - 1)};
    extent = extent
                 ? AxisRange{std::min(extent->low, range.low), std::max(extent->high, range.high)}
                 : range;
  }
  return extent;
}

AxisRange VoltsInView(std::initializer_list<const PlotSeries*> series, AxisRange x) {
  std::optional<CountRange> counts;
  for (const PlotSeries* one : series) {
    if (one == nullptr) continue;
    const std::optional<CountRange> range = one->CountsBetween(x.low, x.high);
    if (!range) continue;
    counts = counts ? CountRange{std::min(counts->lowest, range->lowest),
                                 std::max(counts->highest, range->highest)}
                    : *range;
  }
  if (!counts) return {0, kFullScaleVolts};
  return FittedVolts(Volts(counts->lowest), Volts(counts->highest));
}

}  // namespace ampelon
