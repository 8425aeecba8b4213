#pragma once

#include <cstdint>
#include <optional>

#include "analysis/charge_figures.h"
#include "viewer/charge.h"

namespace ampelon {

// When the charge in a file was recorded, in Unix seconds: the time the file was last written
// less the span of its readings' times where known (a log is written as its readings arrive,
// or saved right after the last), else the time it was written.
std::int64_t RecordedAt(const Charge& charge, std::int64_t fileWrittenAt);

// The charge put in up to the peak at a constant `currentMilliamps`: current x time to peak,
// in mAh. An estimate (a charger's current is seldom constant to the end); nothing where the
// current or the time to the peak is not known.
std::optional<double> ChargePutInMilliampHours(const ChargeFigures& figures,
                                               std::optional<int> currentMilliamps);

}  // namespace ampelon
