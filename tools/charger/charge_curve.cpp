#include "charger/charge_curve.h"

#include <algorithm>
#include <cmath>

#include "common/rounding.h"
#include "common/volts.h"

namespace ampelon {
namespace {

constexpr double kStartVolts = 1.20;
// The first minutes lift the cell by this much with this time constant.
constexpr double kInitialRiseVolts = 0.17;
constexpr double kInitialRiseSeconds = 240.0;
// The plateau climbs linearly by this much from the start to the peak.
constexpr double kPlateauRiseVolts = 0.045;
// The climb to the peak grows exponentially with this time constant as the cell fills.
constexpr double kFinalRiseSeconds = 600.0;
constexpr double kDropSeconds = 240.0;

double RiseVolts(double seconds) {
  return kStartVolts + kInitialRiseVolts * (1.0 - std::exp(-seconds / kInitialRiseSeconds)) +
         kPlateauRiseVolts * seconds / ChargeCurve::kPeakSeconds;
}

// Chosen so that the rise meets the peak voltage exactly at the peak time.
double FinalRiseVolts() { return ChargeCurve::kPeakVolts - RiseVolts(ChargeCurve::kPeakSeconds); }

}  // namespace

double ChargeCurve::Volts(double seconds) {
  const double t = std::clamp(seconds, 0.0, kEndSeconds);
  if (t <= kPeakSeconds) {
    return RiseVolts(t) + FinalRiseVolts() * std::exp((t - kPeakSeconds) / kFinalRiseSeconds);
  }
  // Normalised so that the fall reaches kDropVolts exactly at the end of the charge.
  const double fall = (1.0 - std::exp(-(t - kPeakSeconds) / kDropSeconds)) /
                      (1.0 - std::exp(-(kEndSeconds - kPeakSeconds) / kDropSeconds));
  return kPeakVolts - kDropVolts * fall;
}

int ChargeCurve::Counts(double volts) {
  const double counts = RoundHalfEven(CountsForVolts(volts));
  return static_cast<int>(std::clamp(counts, 0.0, static_cast<double>(kFullScale)));
}

}  // namespace ampelon
