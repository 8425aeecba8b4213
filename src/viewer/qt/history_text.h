#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <vector>

#include "history/battery_summary.h"
#include "history/charge_record.h"

namespace ampelon {

// What the viewer writes about the charge library, in the user's locale: the battery's details
// in the summary panel, the notes, and the rows of the Battery History window, which
// --history prints too.

// "Battery: AA 3 (NiMH, 2000 mAh)", the charge current and the charge put in up to the peak
// (an estimate), the notes; nothing where no details were given.
QStringList DetailsLines(const QLocale& locale, const BatteryDetails& details,
                         const ChargeFigures& figures);
// "about 1840 mAh (estimate: current × time to peak)", or "" where not known.
QString ChargePutInText(const QLocale& locale, const BatteryDetails& details,
                        const ChargeFigures& figures);
// "1:23:45  cell reseated", "sample 301  fan on".
QString PinnedNoteText(const QLocale& locale, const PinnedNote& note);
// "2026-05-01 14:02" in local time.
QString DateText(const QLocale& locale, std::int64_t unixSeconds);

// The battery's name, "(no name)" for the charges of no named battery.
QString BatteryNameText(const std::string& battery);
QStringList BatteryColumns();
QStringList BatteryRow(const QLocale& locale, const BatterySummary& battery);
QStringList ChargeColumns();
QStringList ChargeRow(const QLocale& locale, const ChargeRecord& charge);

// Rows under their column titles, each column as wide as its widest cell, for a terminal.
QString TextTable(const QStringList& columns, const std::vector<QStringList>& rows);

}  // namespace ampelon
