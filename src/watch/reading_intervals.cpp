#include "watch/reading_intervals.h"

#include <algorithm>

namespace ampelon {

void ReadingIntervals::Add(double seconds, int count) {
  // Readings beyond kKept in one event would only push out their own copies.
  for (int i = 0; i < std::min<int>(count, kKept); ++i) {
    m_times[m_next] = seconds;
    m_next = (m_next + 1) % kKept;
    m_size = std::min(m_size + 1, kKept);
  }
}

double ReadingIntervals::Last() const { return m_times[(m_next + kKept - 1) % kKept]; }

double ReadingIntervals::MedianInterval() const {
  if (m_size < 2) return 0.0;
  const std::size_t oldest = (m_next + kKept - m_size) % kKept;
  std::array<double, kKept - 1> gaps{};
  for (std::size_t i = 0; i + 1 < m_size; ++i) {
    gaps[i] = m_times[(oldest + i + 1) % kKept] - m_times[(oldest + i) % kKept];
  }
  const std::size_t count = m_size - 1;
  const auto middle = gaps.begin() + static_cast<std::ptrdiff_t>(count / 2);
  std::nth_element(gaps.begin(), middle, gaps.begin() + static_cast<std::ptrdiff_t>(count));
  if (count % 2 == 1) return *middle;
  const double below = *std::max_element(gaps.begin(), middle);
  return (below + *middle) / 2.0;
}

double ReadingIntervals::StallThreshold(double minimumSeconds, double intervals) const {
  return std::max(minimumSeconds, intervals * MedianInterval());
}

}  // namespace ampelon
