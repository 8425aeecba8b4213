#include "charger/curve_source.h"

#include <algorithm>

#include "charger/charge_curve.h"
#include "common/volts.h"

namespace ampelon {

CurveSource::CurveSource(double intervalSeconds, std::uint32_t seed)
    : m_intervalSeconds(intervalSeconds), m_random(seed) {}

std::optional<int> CurveSource::Next() {
  const double seconds = static_cast<double>(m_index) * m_intervalSeconds;
  if (seconds > ChargeCurve::kEndSeconds) return std::nullopt;
  ++m_index;
  // The sum of two draws from -1..1 peaks at 0, like the converter's noise.
  std::uniform_int_distribution<int> step(-kNoiseCounts / 2, kNoiseCounts / 2);
  const int noise = step(m_random) + step(m_random);
  return std::clamp(ChargeCurve::Counts(ChargeCurve::Volts(seconds)) + noise, 0, kFullScale);
}

void CurveSource::Rewind() { m_index = 0; }

}  // namespace ampelon
