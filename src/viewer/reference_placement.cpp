#include "viewer/reference_placement.h"

#include <cmath>

namespace ampelon {
namespace {

// The x of `reading` in a series of `charge` at offset 0, where it has one.
std::optional<double> XOf(const Charge& charge, std::size_t reading, XAxis axis,
                          double secondsPerReading) {
  if (reading >= charge.counts.size()) return std::nullopt;
  if (axis == XAxis::kSampleNumber) return static_cast<double>(reading) + 1;
  if (secondsPerReading > 0) return static_cast<double>(reading) * secondsPerReading;
  if (reading < charge.seconds.size() && std::isfinite(charge.seconds[reading])) {
    return charge.seconds[reading];
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> MeanReadingInterval(const Charge& charge) {
  const std::size_t known = std::min(charge.counts.size(), charge.seconds.size());
  std::size_t first = 0;
  while (first < known && !std::isfinite(charge.seconds[first])) ++first;
  std::size_t last = known;
  while (last > first + 1 && !std::isfinite(charge.seconds[last - 1])) --last;
  if (last <= first + 1) return std::nullopt;
  const double interval =
      (charge.seconds[last - 1] - charge.seconds[first]) / static_cast<double>(last - 1 - first);
  if (!(interval > 0)) return std::nullopt;
  return interval;
}

ReferencePlacement PlaceReference(const Charge& charge, const Charge& reference, XAxis axis,
                                  std::optional<PeakReadings> peaks) {
  ReferencePlacement placement;
  if (axis == XAxis::kTime && reference.seconds.empty()) {
    placement.secondsPerReading = MeanReadingInterval(charge).value_or(1);
    placement.xOffset = FirstKnownTime(charge).value_or(0);
  } else {
    placement.xOffset = ReferenceOffset(charge, reference, axis);
  }
  if (peaks) {
    const std::optional<double> chargePeak = XOf(charge, peaks->charge, axis, 0);
    const std::optional<double> referencePeak =
        XOf(reference, peaks->reference, axis, placement.secondsPerReading);
    if (chargePeak && referencePeak) placement.xOffset = *chargePeak - *referencePeak;
  }
  return placement;
}

}  // namespace ampelon
