#pragma once
#include <cstdint>
#include <vector>
namespace ampelon {
// One charge as the viewer holds it: the counts in file order and, where known, the time of each
// reading on the charge clock.
struct Charge {
  std::vector<std::int16_t> counts;
  // Empty when no times are known; otherwise one entry per reading, NaN where a reading's time
  // is unknown. Seconds since the charge clock started.
  std::vector<double> seconds;
};
}  // namespace ampelon
