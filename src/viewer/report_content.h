#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/charge_figures.h"
#include "history/battery_details.h"
#include "history/charge_record.h"
#include "history/pinned_note.h"

namespace ampelon {

// What the one-page charge report says besides the plot and the summary's figures: the battery's
// details, the notes pinned to the charge, and the battery's trend over its charges.

// The details one a line ("Chemistry: NiMH"), with the charge put in up to the peak where the
// current and the time to the peak are known; "No battery details given" when nothing is.
std::vector<std::string> ReportDetailsLines(const BatteryDetails& details,
                                            const ChargeFigures& figures);

// The notes one a line, numbered as their flags on the plot: "1  52:40  cell reseated", or
// "2  sample 301  fan on" where the note has no time.
std::vector<std::string> ReportNoteLines(const std::vector<PinnedNote>& notes);

// One measure of a battery's charges against the date, for a small trend plot.
struct TrendSeries {
  std::string title;  // "Peak voltage (V)"
  struct Point {
    std::int64_t date = 0;  // Unix seconds
    double value = 0;
  };
  std::vector<Point> points;           // by date; charges that do not tell the measure left out
  std::optional<std::size_t> current;  // the point of the charge reported on
};

// Peak voltage, time to the peak (minutes) and the drop after the peak (mV) of `charges`, given
// by date; `currentId` is the library's id of the charge reported on.
std::vector<TrendSeries> BatteryTrend(const std::vector<ChargeRecord>& charges,
                                      std::int64_t currentId);

}  // namespace ampelon
