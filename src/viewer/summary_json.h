#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/charge_figures.h"

namespace ampelon {

// The figures of every charge in a log as one JSON object for scripts: numbers in volts,
// seconds and millivolts with "." as the decimal point, null where a value is not known, and
// these keys only:
// {"readings": N, "times_known": bool, "charges": [{"first_sample", "last_sample",
//  "start_volts", "peak_volts", "peak_sample", "peak_seconds", "end", "end_sample",
//  "end_seconds", "drop_mv", "duration_seconds", "slope_mv_per_min", "noise_mv"}]}
std::string SummaryJson(std::size_t readings, bool timesKnown,
                        const std::vector<ChargeFigures>& charges);

}  // namespace ampelon
