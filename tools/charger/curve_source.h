#pragma once

#include <cstdint>
#include <optional>
#include <random>

#include "charger/reading_source.h"

namespace ampelon {

// Readings of the charge curve taken every `intervalSeconds` of simulated time from 0 to the end
// of the charge, each with up to kNoiseCounts of converter noise.
class CurveSource : public ReadingSource {
 public:
  static constexpr int kNoiseCounts = 2;

  // `intervalSeconds` must be positive.
  CurveSource(double intervalSeconds, std::uint32_t seed);

  std::optional<int> Next() override;
  void Rewind() override;

 private:
  double m_intervalSeconds;
  long long m_index = 0;
  std::minstd_rand m_random;
};

}  // namespace ampelon
