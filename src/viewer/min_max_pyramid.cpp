#include "viewer/min_max_pyramid.h"

#include <algorithm>
#include <cassert>

namespace ampelon {
namespace {

constexpr std::size_t kBlockShift = 5;
constexpr std::size_t kBlock = std::size_t{1} << kBlockShift;

CountRange Joined(CountRange a, CountRange b) {
  return {std::min(a.lowest, b.lowest), std::max(a.highest, b.highest)};
}

CountRange Scanned(std::span<const std::int16_t> counts, std::size_t first, std::size_t last,
                   CountRange range) {
  for (std::size_t i = first; i < last; ++i) {
    range.lowest = std::min(range.lowest, counts[i]);
    range.highest = std::max(range.highest, counts[i]);
  }
  return range;
}

constexpr CountRange kNothing{INT16_MAX, INT16_MIN};

}  // namespace

void MinMaxPyramid::Clear() {
  m_levels.clear();
  m_size = 0;
}

void MinMaxPyramid::Extend(std::span<const std::int16_t> counts) {
  if (counts.size() <= m_size) return;
  // Only the blocks from the one that held the old last count on change, at every level.
  std::size_t changed = m_size >> kBlockShift;
  std::size_t blocks = (counts.size() + kBlock - 1) >> kBlockShift;
  if (m_levels.empty()) m_levels.emplace_back();
  std::vector<CountRange>& bottom = m_levels.front();
  bottom.resize(blocks);
  for (std::size_t block = changed; block < blocks; ++block) {
    const std::size_t first = block << kBlockShift;
    bottom[block] = Scanned(counts, first, std::min(first + kBlock, counts.size()), kNothing);
  }
  for (std::size_t level = 1; blocks > 1; ++level) {
    changed >>= 1;
    blocks = (blocks + 1) >> 1;
    if (m_levels.size() <= level) m_levels.emplace_back();
    const std::vector<CountRange>& below = m_levels[level - 1];
    std::vector<CountRange>& here = m_levels[level];
    here.resize(blocks);
    for (std::size_t block = changed; block < blocks; ++block) {
      const std::size_t left = block * 2;
      here[block] = left + 1 < below.size() ? Joined(below[left], below[left + 1]) : below[left];
    }
  }
  m_size = counts.size();
}

CountRange MinMaxPyramid::Of(std::span<const std::int16_t> counts, std::size_t first,
                             std::size_t last) const {
  assert(first < last && last <= m_size && m_size <= counts.size());
  std::size_t from = (first + kBlock - 1) >> kBlockShift;  // the first whole block
  std::size_t to = last >> kBlockShift;                    // past the last whole block
  if (from >= to) return Scanned(counts, first, last, kNothing);
  CountRange range = Scanned(counts, first, from << kBlockShift, kNothing);
  range = Scanned(counts, to << kBlockShift, last, range);
  for (std::size_t level = 0; from < to; ++level, from >>= 1, to >>= 1) {
    const std::vector<CountRange>& blocks = m_levels[level];
    if ((from & 1) != 0) range = Joined(range, blocks[from++]);
    if ((to & 1) != 0) range = Joined(range, blocks[--to]);
  }
  return range;
}

std::size_t MinMaxPyramid::Bytes() const {
  std::size_t bytes = 0;
  for (const auto& level : m_levels) bytes += level.capacity() * sizeof(CountRange);
  return bytes;
}

}  // namespace ampelon
