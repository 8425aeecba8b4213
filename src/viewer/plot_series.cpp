#include "viewer/plot_series.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ampelon {

PlotSeries::PlotSeries(const Charge& charge, XAxis axis, double xOffset)
    : m_charge(charge),
      m_axis(axis),
      m_xOffset(xOffset),
      m_latestTime(-std::numeric_limits<double>::infinity()) {
  Extend();
}

void PlotSeries::Extend() {
  if (m_axis == XAxis::kSampleNumber) {
    m_size = m_charge.counts.size();
    m_readingsSeen = m_size;
  } else {
    const std::size_t known = std::min(m_charge.counts.size(), m_charge.seconds.size());
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

std::size_t PlotSeries::Bytes() const {
  return m_pyramid.Bytes() + m_readings.capacity() * sizeof(std::uint32_t) +
         m_counts.capacity() * sizeof(std::int16_t);
}

}  // namespace ampelon
