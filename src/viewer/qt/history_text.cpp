#include "viewer/qt/history_text.h"

#include <algorithm>

#include <QDateTime>

#include "viewer/charge_registration.h"
#include "viewer/qt/readout_text.h"

namespace ampelon {
namespace {

QString ChemistryText(Chemistry chemistry) { return QString::fromLatin1(ChemistryName(chemistry)); }

QString VoltsText(const QLocale& locale, double volts) {
  return locale.toString(volts, 'f', 4) + QStringLiteral(" V");
}

QString OneLine(const std::string& text) { return QString::fromStdString(text).simplified(); }

}  // namespace

QString ChargePutInText(const QLocale& locale, const BatteryDetails& details,
                        const ChargeFigures& figures) {
  const std::optional<double> mah = ChargePutInMilliampHours(figures, details.currentMilliamps);
  if (!mah) return {};
  return QStringLiteral("about %1 mAh (estimate: current × time to peak)")
      .arg(locale.toString(*mah, 'f', 0));
}

QStringList DetailsLines(const QLocale& locale, const BatteryDetails& details,
                         const ChargeFigures& figures) {
  QStringList lines;
  QStringList about;
  if (details.chemistry != Chemistry::kUnknown) about << ChemistryText(details.chemistry);
  if (details.ratedMilliampHours) {
    about << locale.toString(*details.ratedMilliampHours) + QStringLiteral(" mAh rated");
  }
  if (!details.battery.empty() || !about.isEmpty()) {
    lines << QStringLiteral("Battery: ") + BatteryNameText(details.battery) +
                 (about.isEmpty() ? QString() : QStringLiteral(" (") + about.join(", ") + ")");
  }
  if (details.currentMilliamps) {
    lines << QStringLiteral("Charge current: ") + locale.toString(*details.currentMilliamps) +
                 QStringLiteral(" mA");
    const QString putIn = ChargePutInText(locale, details, figures);
    lines << QStringLiteral("Charge put in to the peak: ") +
                 (putIn.isEmpty() ? QStringLiteral("not known (no time to the peak)") : putIn);
  }
  if (!details.notes.empty()) {
    lines << QStringLiteral("Notes: ") + QString::fromStdString(details.notes);
  }
  return lines;
}

QString PinnedNoteText(const QLocale& locale, const PinnedNote& note) {
  const QString at = note.seconds ? TimeText(locale, *note.seconds, 0)
                                  : QStringLiteral("sample %1").arg(note.sample);
  return at + QStringLiteral("  ") + OneLine(note.text);
}

QString DateText(const QLocale& locale, std::int64_t unixSeconds) {
  if (unixSeconds == 0) return {};
  return locale.toString(QDateTime::fromSecsSinceEpoch(unixSeconds),
                         QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString BatteryNameText(const std::string& battery) {
  return battery.empty() ? QStringLiteral("(no name)") : QString::fromStdString(battery);
}

QStringList BatteryColumns() {
  return {QStringLiteral("Battery"), QStringLiteral("Chemistry"), QStringLiteral("Charges"),
          QStringLiteral("Last charged"), QStringLiteral("Judgement")};
}

QStringList BatteryRow(const QLocale& locale, const BatterySummary& battery) {
  return {BatteryNameText(battery.name), ChemistryText(battery.chemistry),
          locale.toString(battery.charges), DateText(locale, battery.lastCharged),
          QString::fromStdString(battery.judgement)};
}

QStringList ChargeColumns() {
  return {QStringLiteral("Date"), QStringLiteral("Duration"),      QStringLiteral("Start"),
          QStringLiteral("Peak"), QStringLiteral("Time to peak"),  QStringLiteral("Drop"),
          QStringLiteral("End"),  QStringLiteral("Charge put in"), QStringLiteral("Notes")};
}

QStringList ChargeRow(const QLocale& locale, const ChargeRecord& charge) {
  const ChargeFigures& figures = charge.figures;
  const auto time = [&](std::optional<double> seconds) {
    return seconds ? TimeText(locale, *seconds, 0) : QString();
  };
  const std::optional<double> putIn =
      ChargePutInMilliampHours(figures, charge.details.currentMilliamps);
  QStringList notes;
  if (!charge.details.notes.empty()) notes << OneLine(charge.details.notes);
  for (const PinnedNote& note : charge.notes) notes << PinnedNoteText(locale, note);
  return {DateText(locale, charge.recordedAt),
          time(figures.durationSeconds),
          VoltsText(locale, figures.startVolts),
          VoltsText(locale, figures.peakVolts),
          time(figures.peakSeconds),
          locale.toString(figures.dropMillivolts, 'f', 1) + QStringLiteral(" mV"),
          QString::fromLatin1(ChargeEndName(figures.end)),
          putIn ? QStringLiteral("~") + locale.toString(*putIn, 'f', 0) + QStringLiteral(" mAh")
                : QString(),
          notes.join(QStringLiteral("; "))};
}

QString TextTable(const QStringList& columns, const std::vector<QStringList>& rows) {
  std::vector<int> widths(static_cast<std::size_t>(columns.size()), 0);
  const auto measure = [&](const QStringList& row) {
    for (qsizetype i = 0; i < row.size() && i < columns.size(); ++i) {
      widths[static_cast<std::size_t>(i)] =
          std::max(widths[static_cast<std::size_t>(i)], static_cast<int>(row[i].size()));
    }
  };
  measure(columns);
  for (const QStringList& row : rows) measure(row);
  const auto line = [&](const QStringList& row) {
    QString text;
    for (qsizetype i = 0; i < row.size() && i < columns.size(); ++i) {
      // One line a row: a line break or a NUL in a name or notes would end it (or the output).
      QString cell = row[i];
      for (QChar& c : cell) {
        if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
      }
      text += cell.leftJustified(widths[static_cast<std::size_t>(i)] + 2);
    }
    // No spaces at the ends of lines, also where the last cells are empty.
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    return text + QLatin1Char('\n');
  };
  QString text = line(columns);
  for (const QStringList& row : rows) text += line(row);
  return text;
}

}  // namespace ampelon
