#pragma once

#include <array>
#include <cstddef>

namespace ampelon {

// When the last readings arrived, to tell readings that stopped from a charger that reports
// rarely: the gap that counts as stopped grows with the charger's usual interval.
class ReadingIntervals {
 public:
  static constexpr std::size_t kKept = 20;

  // `count` readings arrived at `seconds` (monotonic).
  void Add(double seconds, int count);
  void Clear() { m_size = 0; }

  bool Empty() const { return m_size == 0; }
  double Last() const;
  // The median gap between the kept readings; 0 with fewer than two.
  double MedianInterval() const;
  // max(`minimumSeconds`, `intervals` × the median gap).
  double StallThreshold(double minimumSeconds, double intervals) const;

 private:
  std::array<double, kKept> m_times{};  // a ring; m_next is the oldest once it is full
  std::size_t m_next = 0;
  std::size_t m_size = 0;
};

}  // namespace ampelon
