#pragma once

#include <QLocale>
#include <QString>

#include "viewer/cursor_values.h"

namespace ampelon {

// The read-out's texts, with the locale's decimal separator.

// "12.3 s" below a minute, "1:02:03.4" from an hour on; a sign when negative. Beyond any time a
// times file holds, seconds alone ("1E+18 s").
QString DurationText(const QLocale& locale, double seconds);
// "sample 1234 at 12:34.5, 1.2345 V, count 2022" (the time where known).
QString ReadingText(const QLocale& locale, const ReadingValues& values);
// "Δ 1200 samples, Δt 20:00.0, ΔV +0.0123 V, 0.62 mV/min" (the times where known).
QString DifferenceText(const QLocale& locale, const MarkerDifference& difference);

}  // namespace ampelon
