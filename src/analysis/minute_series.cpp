#include "analysis/minute_series.h"

#include <algorithm>
#include <cmath>

namespace ampelon {

bool MinuteSeries::StartMinute(double seconds) {
  m_minuteStart = std::floor(seconds / 60.0) * 60.0;
  if (m_count == 0) return false;
  m_points.push_back({m_secondsSum / m_count, m_lastSample, m_millivoltSum / m_count});
  m_secondsSum = m_millivoltSum = 0.0;
  m_count = 0;
  return true;
}

std::optional<MinuteSeries::Mean> MinuteSeries::MeanBefore(double seconds, int minutes) const {
  // Most questions are about the newest minutes.
  const auto end =
      !m_points.empty() && seconds >= m_points.back().seconds
          ? m_points.size()
          : static_cast<std::size_t>(
                std::upper_bound(m_points.begin(), m_points.end(), seconds,
                                 [](double s, const Point& p) { return s < p.seconds; }) -
                m_points.begin());
  if (end == 0) return std::nullopt;
  const std::size_t begin = end > static_cast<std::size_t>(minutes) ? end - minutes : 0;
  Mean mean{0.0, 0.0};
  for (std::size_t i = begin; i < end; ++i) {
    mean.seconds += m_points[i].seconds;
    mean.millivolts += m_points[i].millivolts;
  }
  const auto count = static_cast<double>(end - begin);
  return Mean{mean.seconds / count, mean.millivolts / count};
}

std::optional<double> MinuteSeries::SlopeBetween(double from, double to, int minutes) const {
  const std::optional<Mean> first = MeanBefore(from, minutes);
  const std::optional<Mean> last = MeanBefore(to, minutes);
  if (!first || !last || last->seconds - first->seconds < 60.0) return std::nullopt;
  return (last->millivolts - first->millivolts) / ((last->seconds - first->seconds) / 60.0);
}

}  // namespace ampelon
