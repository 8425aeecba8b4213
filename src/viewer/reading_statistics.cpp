#include "viewer/reading_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "analysis/charge_rules.h"
#include "common/volts.h"

namespace ampelon {
namespace {

constexpr std::size_t kBlockShift = 10;
constexpr std::size_t kBlock = std::size_t{1} << kBlockShift;
constexpr double kMillivoltsPerCount = kFullScaleVolts * 1000.0 / kFullScale;
// A step larger than a wild reading's (a battery changed, a wild reading itself) counts as one.
constexpr int kWildStep =
    static_cast<int>(charge_rules::kWildReadingMillivolts / kMillivoltsPerCount + 0.5);

}  // namespace

void ReadingStatistics::Line::Join(const Line& other) {
  if (other.points == 0) return;
  if (points == 0) {
    *this = other;
    return;
  }
  const double all = points + other.points;
  const double dx = other.meanX - meanX;
  const double dy = other.meanY - meanY;
  const double weight = points * other.points / all;
  xx += other.xx + dx * dx * weight;
  xy += other.xy + dx * dy * weight;
  meanX += dx * other.points / all;
  meanY += dy * other.points / all;
  points = all;
}

void ReadingStatistics::Sums::Join(const Sums& other) {
  lowest = std::min(lowest, other.lowest);
  highest = std::max(highest, other.highest);
  total += other.total;
  readings += other.readings;
  stepSquares += other.stepSquares;
  steps += other.steps;
  line.Join(other.line);
}

ReadingStatistics::Sums ReadingStatistics::SumsOf(std::span<const std::int16_t> counts,
                                                  std::span<const double> seconds,
                                                  std::size_t first, std::size_t last,
                                                  bool withFirstStep) {
  Sums sums;
  if (first >= last) return sums;
  std::int64_t total = 0;
  std::int64_t stepSquares = 0;
  std::int16_t lowest = counts[first];
  std::int16_t highest = counts[first];
  for (std::size_t i = first; i < last; ++i) {
    total += counts[i];
    lowest = std::min(lowest, counts[i]);
    highest = std::max(highest, counts[i]);
  }
  for (std::size_t i = withFirstStep ? first : first + 1; i < last; ++i) {
    const int step = std::min(std::abs(counts[i] - counts[i - 1]), kWildStep);
    stepSquares += step * step;
  }
  sums.lowest = lowest;
  sums.highest = highest;
  sums.total = total;
  sums.readings = static_cast<std::int64_t>(last - first);
  sums.stepSquares = stepSquares;
  sums.steps = static_cast<std::int64_t>(last - first) - (withFirstStep ? 0 : 1);
  // The line in coordinates from the first point, where the sums stay small enough to be exact.
  double x0 = std::nan("");
  const double y0 = counts[first];
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (std::size_t i = first; i < last; ++i) {
    const double x = seconds.empty() ? static_cast<double>(i) : seconds[i];
    if (!std::isfinite(x)) continue;
    if (n == 0) x0 = x;
    const double dx = x - x0;
    const double dy = counts[i] - y0;
    n += 1;
    sx += dx;
    sy += dy;
    sxx += dx * dx;
    sxy += dx * dy;
  }
  if (n > 0) {
    sums.line = {n, x0 + sx / n, y0 + sy / n, std::max(0.0, sxx - sx * sx / n), sxy - sx * sy / n};
  }
  return sums;
}

void ReadingStatistics::Clear() {
  m_blocks.clear();
  m_size = 0;
}

void ReadingStatistics::Extend(std::span<const std::int16_t> counts,
                               std::span<const double> seconds) {
  const bool timed = !seconds.empty();
  if (timed != m_timed || counts.size() < m_size) {
    Clear();
    m_timed = timed;
  }
  const std::size_t blocks = counts.size() >> kBlockShift;
  m_blocks.reserve(blocks);
  for (std::size_t block = m_blocks.size(); block < blocks; ++block) {
    const std::size_t first = block << kBlockShift;
    m_blocks.push_back(SumsOf(counts, seconds, first, first + kBlock, block > 0));
  }
  m_size = counts.size();
}

std::optional<RangeFigures> ReadingStatistics::Of(std::span<const std::int16_t> counts,
                                                  std::span<const double> seconds,
                                                  std::size_t first, std::size_t last) const {
  last = std::min({last, m_size, counts.size()});
  if (first >= last) return std::nullopt;
  if (seconds.size() != counts.size()) seconds = {};
  // The readings up to the first block boundary after `first` are summed one by one (the step
  // into `first` left out), then whole blocks, then the readings after the last of them.
  const std::size_t wholeFrom = std::min(last, ((first >> kBlockShift) + 1) << kBlockShift);
  const std::size_t wholeTo =
      std::max(wholeFrom, std::min(last >> kBlockShift, m_blocks.size()) << kBlockShift);
  Sums sums = SumsOf(counts, seconds, first, wholeFrom, false);
  for (std::size_t block = wholeFrom >> kBlockShift; block < wholeTo >> kBlockShift; ++block) {
    sums.Join(m_blocks[block]);
  }
  sums.Join(SumsOf(counts, seconds, wholeTo, last, true));

  RangeFigures figures;
  figures.readings = static_cast<std::size_t>(sums.readings);
  figures.lowestVolts = Volts(sums.lowest);
  figures.highestVolts = Volts(sums.highest);
  figures.meanVolts = static_cast<double>(sums.total) / static_cast<double>(sums.readings) *
                      kFullScaleVolts / kFullScale;
  if (sums.steps > 0) {
    figures.noiseMillivolts =
        std::sqrt(static_cast<double>(sums.stepSquares) / (2.0 * static_cast<double>(sums.steps))) *
        kMillivoltsPerCount;
  }
  figures.slopePerMinute = !seconds.empty();
  if (sums.line.points >= 2 && sums.line.xx > 0) {
    const double countsPerX = sums.line.xy / sums.line.xx;
    figures.slope = countsPerX * kMillivoltsPerCount * (figures.slopePerMinute ? 60.0 : 1000.0);
  }
  return figures;
}

}  // namespace ampelon
