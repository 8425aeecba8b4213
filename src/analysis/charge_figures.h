#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace ampelon {

// How a charge ended, judged from its voltage.
enum class ChargeEnd {
  kRising,      // no end found (yet)
  kPlateau,     // a flat top after the final climb (zero dV)
  kPeakPassed,  // the voltage fell below its peak (-dV)
};

// "rising", "plateau" or "peak-passed".
std::string_view ChargeEndName(ChargeEnd end);

// What the analysis found in one charge. Samples count from 1 over everything the analysis was
// fed; seconds count from the charge's first reading and are empty where times are not known.
struct ChargeFigures {
  std::size_t firstSample = 0;
  std::size_t lastSample = 0;
  bool timesKnown = false;
  double startVolts = 0.0;
  double peakVolts = 0.0;  // the highest smoothed voltage after the hold-off
  std::size_t peakSample = 0;
  std::optional<double> peakSeconds;
  ChargeEnd end = ChargeEnd::kRising;
  std::optional<std::size_t> endSample;  // the reading at which the end was found
  std::optional<double> endSeconds;
  double dropMillivolts = 0.0;  // the peak less the latest smoothed voltage
  std::optional<double> durationSeconds;
  std::optional<double> slopeMillivoltsPerMinute;  // the mean over the middle of the charge
  double noiseMillivolts = 0.0;  // standard deviation of the readings about the smoothed curve
};

}  // namespace ampelon
