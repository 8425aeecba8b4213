#pragma once

#include <cstddef>
#include <optional>

#include "viewer/charge.h"
#include "viewer/plot_series.h"

namespace ampelon {

// Where a reference charge lies on the charge's x axis: the arguments of its PlotSeries.
struct ReferencePlacement {
  double xOffset = 0;
  // On the time axis, for a reference without times: its readings this far apart, as the
  // charge's are on average; 0 where it has times or on the sample axis.
  double secondsPerReading = 0;
};

// The readings (from 0) at which the charge and the reference peak, for aligning them there.
struct PeakReadings {
  std::size_t charge = 0;
  std::size_t reference = 0;
  bool operator==(const PeakReadings&) const = default;
};

// The reference's first reading on the charge's first: by sample number, or on the time axis by
// their first times. A reference without times keeps the charge's time axis: its readings are
// laid out from the charge's first time, at the charge's mean pace. Given `peaks`, the reference
// is moved so that its peak lies on the charge's instead (where both peaks have a place on the
// axis).
ReferencePlacement PlaceReference(const Charge& charge, const Charge& reference, XAxis axis,
                                  std::optional<PeakReadings> peaks = std::nullopt);

// The charge's mean seconds per reading, from its first to its last reading of known time;
// nothing when fewer than two times are known or they do not advance.
std::optional<double> MeanReadingInterval(const Charge& charge);

}  // namespace ampelon
