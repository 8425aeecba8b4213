#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "chart/chart_canvas.h"
#include "chart/voltage_window.h"

namespace ampelon {

// Maps volts to chart units for one window: the grid's 0..1000 covers the window widened by
// 0.05 V at both ends.
class PlotScale {
 public:
  // Nothing when the window gives no finite scale (a height of -0.1, an infinite window).
  static std::optional<PlotScale> For(const VoltageWindow& window);
  float Y(float volts) const {
    return static_cast<float>(m_factor * ((static_cast<double>(volts) - m_lower) + 0.05));
  }

 private:
  PlotScale(double factor, double lower) : m_factor(factor), m_lower(lower) {}
  double m_factor;
  double m_lower;
};

// Plot positions of the readings of one store in one window. Sample n of a store of
// `sampleCount` lies at x = n times a step: room for 200 samples up to 200, for 400 up to 400,
// and beyond that all samples spread over the full width. The height of every reading value
// between `lowest` and `highest` is worked out once, so that a full store costs a lookup per
// reading rather than the whole arithmetic.
class PlotMapper {
 public:
  // `heights` is the caller's buffer, reused from refresh to refresh (at most 65536 values).
  PlotMapper(const PlotScale& scale, int sampleCount, std::int16_t lowest, std::int16_t highest,
             std::vector<float>& heights);

  // Fills `points` (at least slice.size() long) with the positions of `slice`, readings
  // `firstSampleNumber`, `firstSampleNumber` + 1, ... of the store. Returns the filled part.
  std::span<const ChartPoint> Map(std::span<const std::int16_t> slice, int firstSampleNumber,
                                  std::span<ChartPoint> points) const;

 private:
  double m_step;
  std::int16_t m_lowest;
  const std::vector<float>& m_heights;
};

}  // namespace ampelon
