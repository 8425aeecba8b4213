#include "viewer/plot_series.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ampelon {

PlotSeries::PlotSeries(const Charge& charge, XAxis axis, double xOffset, double secondsPerReading)
    : m_charge(charge),
      m_axis(axis),
      m_xOffset(xOffset),
      m_byTimes(axis == XAxis::kTime && !(charge.seconds.empty() && secondsPerReading > 0)),
      m_step(axis == XAxis::kTime ? secondsPerReading : 1),
      m_firstX(axis == XAxis::kTime ? xOffset : xOffset + 1),
      m_latestTime(-std::numeric_limits<double>::infinity()) {
  Extend();
}

void PlotSeries::Extend() {
  const std::size_t known = !m_byTimes ? m_charge.counts.size()
                                       : std::min(m_charge.counts.size(), m_charge.seconds.size());
  if (known < m_readingsSeen) {
    m_size = 0;
    m_readingsSeen = 0;
    m_latestTime = -std::numeric_limits<double>::infinity();
    m_readings.clear();
    m_counts.clear();
    m_pyramid.Clear();
  }
  if (!m_byTimes) {
    m_size = m_charge.counts.size();
    m_readingsSeen = m_size;
  } else {
    for (std::size_t reading = m_readingsSeen; reading < known; ++reading) {
      const double time = m_charge.seconds[reading];
      const bool onAxis = std::isfinite(time) && time >= m_latestTime;
      if (onAxis && m_readings.empty() && m_size == reading) {
        ++m_size;  // every reading so far is a point
      } else if (onAxis) {
        if (m_readings.empty()) {
          // The first reading left off: from here on the points are listed.
          m_readings.resize(m_size);
          for (std::size_t i = 0; i < m_size; ++i) m_readings[i] = static_cast<std::uint32_t>(i);
          m_counts.assign(m_charge.counts.begin(),
                          m_charge.counts.begin() + static_cast<std::ptrdiff_t>(m_size));
        }
        m_readings.push_back(static_cast<std::uint32_t>(reading));
        m_counts.push_back(m_charge.counts[reading]);
        ++m_size;
      }
      if (onAxis) m_latestTime = time;
    }
    m_readingsSeen = std::max(m_readingsSeen, known);
  }
  m_pyramid.Extend(Counts().first(m_size));
}

std::size_t PlotSeries::FirstAtOrAfter(double x) const {
  std::size_t low = 0;
  std::size_t high = m_size;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (X(middle) < x) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

std::optional<std::size_t> PlotSeries::PointOf(std::size_t reading) const {
  if (m_readings.empty()) {
    if (reading < m_size) return reading;
    return std::nullopt;
  }
  const auto found = std::lower_bound(m_readings.begin(), m_readings.end(), reading);
  if (found == m_readings.end() || *found != reading) return std::nullopt;
  return static_cast<std::size_t>(found - m_readings.begin());
}

std::pair<std::size_t, std::size_t> PlotSeries::PointsBetween(double low, double high) const {
  const std::size_t first = FirstAtOrAfter(low);
  return {first, std::max(first, FirstAtOrAfter(high))};
}

std::optional<CountRange> PlotSeries::CountsBetween(double low, double high) const {
  if (m_size == 0) return std::nullopt;
  auto [first, last] = PointsBetween(low, high);
  if (first == last) {
    // Between two points (or beside the series): the line through the view joins these.
    first = first > 0 ? first - 1 : 0;
    last = std::min(last + 1, m_size);
  }
  return m_pyramid.Of(Counts(), first, last);
}

std::size_t PlotSeries::Bytes() const {
  return m_pyramid.Bytes() + m_readings.capacity() * sizeof(std::uint32_t) +
         m_counts.capacity() * sizeof(std::int16_t);
}

std::optional<double> FirstKnownTime(const Charge& charge) {
  const std::size_t known = std::min(charge.counts.size(), charge.seconds.size());
  for (std::size_t i = 0; i < known; ++i) {
    if (std::isfinite(charge.seconds[i])) return charge.seconds[i];
  }
  return std::nullopt;
}

double ReferenceOffset(const Charge& charge, const Charge& reference, XAxis axis) {
  if (axis != XAxis::kTime) return 0;
  const std::optional<double> first = FirstKnownTime(charge);
  const std::optional<double> referenceFirst = FirstKnownTime(reference);
  return first && referenceFirst ? *first - *referenceFirst : 0;
}

}  // namespace ampelon
