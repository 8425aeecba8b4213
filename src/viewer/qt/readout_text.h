#pragma once

#include <optional>

#include <QLocale>
#include <QString>

#include "viewer/cursor_values.h"

namespace ampelon {

// The read-out's texts, with the locale's decimal separator. Times are written as a clock
// (ClockText) with `decimals` places of the seconds, as the time axis writes them.

// "1:52:40" or "52:40.5"; beyond any time a times file holds, seconds alone ("1E+18 s").
QString TimeText(const QLocale& locale, double seconds, int decimals);
// "sample 1234 at 12:34: 1.2345 V, count 2022" (the time where known).
QString ReadingText(const QLocale& locale, const ReadingValues& values, int decimals);
// What the pointer reads at one x: the charge's reading, and where the reference has one at the
// same x, its volts and how far the charge lies above it:
// "sample 1234 at 12:34: 1.2345 V, reference 1.2301 V, +4.4 mV".
QString PointerText(const QLocale& locale, const std::optional<ReadingValues>& charge,
                    const std::optional<ReadingValues>& reference, int decimals);
// From marker A to B, for the plot's note: "Δ 1200 samples, Δt 20:00, ΔV +0.0123 V,
// +0.62 mV/min" (the times where known).
QString DifferenceText(const QLocale& locale, const MarkerDifference& difference, int decimals);
// The same, brief for the status bar: "A→B 20:00, +12.3 mV, +0.62 mV/min", or without times
// "A→B 1200 samples, +12.3 mV".
QString BriefDifferenceText(const QLocale& locale, const MarkerDifference& difference,
                            int decimals);

}  // namespace ampelon
