#include "viewer/charge_registration.h"

#include <algorithm>
#include <cmath>

namespace ampelon {

std::int64_t RecordedAt(const Charge& charge, std::int64_t fileWrittenAt) {
  const auto finite = [](double seconds) { return std::isfinite(seconds); };
  const auto first = std::find_if(charge.seconds.begin(), charge.seconds.end(), finite);
  const auto last = std::find_if(charge.seconds.rbegin(), charge.seconds.rend(), finite);
  if (first == charge.seconds.end()) return fileWrittenAt;
  return fileWrittenAt - static_cast<std::int64_t>(std::llround(*last - *first));
}

std::optional<double> ChargePutInMilliampHours(const ChargeFigures& figures,
                                               std::optional<int> currentMilliamps) {
  if (!currentMilliamps || *currentMilliamps <= 0 || !figures.peakSeconds) return std::nullopt;
  return *currentMilliamps * *figures.peakSeconds / 3600.0;
}

}  // namespace ampelon
