#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ampelon {

struct CountRange {
  std::int16_t lowest;
  std::int16_t highest;
};

// The lowest and highest value of any run of counts in logarithmic time: blocks of 32 counts at
// the first level, each further level pairing the blocks of the one below. It keeps no pointer to
// the counts, which may move as they grow; every call is given them again.
class MinMaxPyramid {
 public:
  // After counts were appended (or on the first call); the counts before must be the same.
  void Extend(std::span<const std::int16_t> counts);
  void Clear();

  // Lowest and highest of counts[first, last); the run must not be empty.
  CountRange Of(std::span<const std::int16_t> counts, std::size_t first, std::size_t last) const;

  std::size_t Bytes() const;

 private:
  std::vector<std::vector<CountRange>> m_levels;
  std::size_t m_size = 0;
};

}  // namespace ampelon
