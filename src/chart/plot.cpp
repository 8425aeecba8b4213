#include "chart/plot.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "common/volts.h"

namespace ampelon {

namespace {

// Chart units between two samples: room for 200, for 400, or all of them across the width.
double PlotStep(int sampleCount) {
  if (sampleCount <= 200) return 1000.0 / 200;
  if (sampleCount <= 400) return 1000.0 / 400;
  return 1000.0 / sampleCount;
}

}  // namespace

std::optional<PlotScale> PlotScale::For(const VoltageWindow& window) {
  const double lower = window.lowerVolts;
  const double upper = window.upperVolts;
  if (!std::isfinite(lower) || !std::isfinite(upper)) return std::nullopt;
  // A height of -0.1 V makes the divisor vanish; with float ends it is never exactly zero, so
  // anything this close would stretch a microvolt over the whole chart.
  constexpr double kSmallestDivisor = 1e-6;
  const double divisor = (upper - lower) + 0.1;
  if (std::fabs(divisor) < kSmallestDivisor) return std::nullopt;
  return PlotScale(1000 / divisor, lower);
}

PlotMapper::PlotMapper(const PlotScale& scale, int sampleCount, std::int16_t lowest,
                       std::int16_t highest, std::vector<float>& heights)
    : m_step(PlotStep(sampleCount)), m_lowest(lowest), m_heights(heights) {
  const std::span<const float> volts = VoltsOfEveryReading();
  heights.resize(static_cast<std::size_t>(std::max(0, highest - lowest + 1)));
  for (std::size_t k = 0; k < heights.size(); ++k) {
    heights[k] = scale.Y(volts[static_cast<std::size_t>(lowest + 32768) + k]);
  }
}

std::span<const ChartPoint> PlotMapper::Map(std::span<const std::int16_t> slice,
                                            int firstSampleNumber,
                                            std::span<ChartPoint> points) const {
  assert(points.size() >= slice.size());
  const float* heights = m_heights.data() - m_lowest;
  const std::size_t count = slice.size();
  // Two simple loops rather than one: the first has no lookups and the compiler can run it on
  // several readings at once.
  for (std::size_t i = 0; i < count; ++i) {
    points[i].x = static_cast<float>(m_step * (firstSampleNumber + static_cast<int>(i)));
  }
  for (std::size_t i = 0; i < count; ++i) points[i].y = heights[slice[i]];
  return points.first(slice.size());
}

}  // namespace ampelon
