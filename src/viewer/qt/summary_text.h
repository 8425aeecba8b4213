#pragma once

#include <cstddef>
#include <vector>

#include <QLocale>
#include <QString>
#include <QStringList>

#include "analysis/charge_figures.h"
#include "viewer/reading_statistics.h"

namespace ampelon {

// The summary's texts, one figure a line ("Peak: 1.4823 V at 1:50:02.0 (sample 3301)"), with
// the locale's decimal separator: the window's summary panel, the plot's description for a
// screen reader, and --summary with the C locale.

// "peak-passed at 1:54:00.0 (sample 3420)", "rising (no end found)".
QString EndText(const QLocale& locale, const ChargeFigures& figures);
// The figures of one charge.
QStringList FiguresLines(const QLocale& locale, const ChargeFigures& figures);
// A charge against the reference: peak voltage, time to peak, drop and duration, where both
// tell them.
QStringList DifferenceLines(const QLocale& locale, const ChargeFigures& charge,
                            const ChargeFigures& reference);
// The statistics of a stretch of readings.
QStringList StatisticsLines(const QLocale& locale, const RangeFigures& figures);
// "Charge 2 of 3: samples 3691 to 7000".
QString ChargeTitle(const ChargeFigures& figures, std::size_t index, std::size_t count);
// "1 reading", "4951 readings".
QString ReadingsText(std::size_t readings);
// What --summary prints for the log `name`.
QString SummaryReport(const QLocale& locale, const QString& name, std::size_t readings,
                      bool timesKnown, const std::vector<ChargeFigures>& charges,
                      double peakDropMillivolts);

}  // namespace ampelon
