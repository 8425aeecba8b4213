#include "viewer/slope_curve.h"

#include <algorithm>
#include <cmath>

#include "analysis/charge_analyser.h"
#include "analysis/charge_rules.h"
#include "common/volts.h"

namespace ampelon {
namespace {

// Minute means this far apart: one minute's mean wanders by a tenth of a millivolt, which
// would swamp a slope of a few tenths a minute.
constexpr std::size_t kApartMinutes = charge_rules::kSlopeWindowMinutes;

}  // namespace

double SlopeCurve::TracedVolts(double millivoltsPerMinute) {
  return millivoltsPerMinute * kCountsPerMillivoltPerMinute * kFullScaleVolts / kFullScale;
}

void SlopeCurve::Update(const ChargeAnalyser& analyser, const Charge& charge, std::size_t index) {
  m_onTime = Charge{};
  m_onSamples = Charge{};
  if (charge.seconds.empty() || index >= analyser.ChargeCount()) return;
  const std::vector<MinuteSeries::Point>& minutes = analyser.Minutes(index).Points();
  const std::size_t firstReading = analyser.Figures(index).firstSample - 1;
  if (firstReading >= charge.seconds.size()) return;
  const double start = charge.seconds[firstReading];
  for (std::size_t k = kApartMinutes; k < minutes.size(); ++k) {
    const MinuteSeries::Point& from = minutes[k - kApartMinutes];
    const MinuteSeries::Point& to = minutes[k];
    if (from.seconds < charge_rules::kHoldOffSeconds || !(to.seconds > from.seconds)) continue;
    const double slope = (to.millivolts - from.millivolts) / ((to.seconds - from.seconds) / 60.0);
    const double count = std::clamp(std::round(slope * kCountsPerMillivoltPerMinute),
                                    double{INT16_MIN}, double{INT16_MAX});
    m_onTime.counts.push_back(static_cast<std::int16_t>(count));
    // Between the two minutes, so that the slope lies under the stretch it was taken over.
    m_onTime.seconds.push_back(start + (from.seconds + to.seconds) / 2);
    m_onSamples.seconds.push_back(static_cast<double>(from.sample + to.sample) / 2);
  }
  m_onSamples.counts = m_onTime.counts;
}

}  // namespace ampelon
