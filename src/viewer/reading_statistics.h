#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ampelon {

// What a run of readings says: their range, mean, noise and slope.
struct RangeFigures {
  std::size_t readings = 0;
  double lowestVolts = 0;
  double highestVolts = 0;
  double meanVolts = 0;
  // The spread of a reading about its neighbours, from the steps between consecutive readings
  // (a step of a battery changed counts as a wild reading's at most).
  double noiseMillivolts = 0;
  // The least-squares line through the readings: millivolts a minute where their times are known,
  // else millivolts per 1000 readings; nothing for fewer than two points.
  std::optional<double> slope;
  bool slopePerMinute = false;
};

// Sums over blocks of a charge's readings, so that the figures of any run of them cost a few
// steps a block (a few thousand for ten million readings) instead of a step a reading. Kept
// beside the charge and extended as it grows; it holds no pointer to the readings, which are
// given again with every call.
class ReadingStatistics {
 public:
  // Takes in the readings from where the last call stopped; `seconds` is empty where no times
  // are known, NaN for a reading whose time is not. The readings before must be unchanged.
  void Extend(std::span<const std::int16_t> counts, std::span<const double> seconds);
  void Clear();
  std::size_t Size() const { return m_size; }

  // The readings [first, last) of those given to Extend(); nothing for an empty run.
  std::optional<RangeFigures> Of(std::span<const std::int16_t> counts,
                                 std::span<const double> seconds, std::size_t first,
                                 std::size_t last) const;

  std::size_t Bytes() const { return m_blocks.capacity() * sizeof(Sums); }

 private:
  // A least-squares line's running figures in centred form, so that blocks far along a long
  // charge join without losing digits.
  struct Line {
    double points = 0;
    double meanX = 0;
    double meanY = 0;
    double xx = 0;  // sum of (x - meanX)^2
    double xy = 0;  // sum of (x - meanX)(y - meanY)
    void Join(const Line& other);
  };
  struct Sums {
    std::int16_t lowest = INT16_MAX;
    std::int16_t highest = INT16_MIN;
    std::int64_t total = 0;
    std::int64_t readings = 0;
    std::int64_t stepSquares = 0;
    std::int64_t steps = 0;
    Line line;
    void Join(const Sums& other);
  };

  // Readings [first, last); the step into `first` counts when `withFirstStep`.
  static Sums SumsOf(std::span<const std::int16_t> counts, std::span<const double> seconds,
                     std::size_t first, std::size_t last, bool withFirstStep);

  std::vector<Sums> m_blocks;  // whole blocks only
  std::size_t m_size = 0;
  bool m_timed = false;
};

}  // namespace ampelon
