#include "viewer/qt/summary_text.h"

#include "viewer/qt/readout_text.h"

namespace ampelon {
namespace {

QString Signed(const QLocale& locale, double value, int decimals) {
  const QString text = locale.toString(value, 'f', decimals);
  return value >= 0 ? locale.positiveSign() + text : text;
}

QString SignedDuration(const QLocale& locale, double seconds) {
  const QString text = TimeText(locale, seconds, 0);
  return seconds >= 0 ? locale.positiveSign() + text : text;
}

QString VoltsText(const QLocale& locale, double volts) {
  return locale.toString(volts, 'f', 4) + QStringLiteral(" V");
}

QString MillivoltsText(const QLocale& locale, double millivolts) {
  return locale.toString(millivolts, 'f', 1) + QStringLiteral(" mV");
}

// "at 1:50:02.0 (sample 3301)", or "at sample 3301" where the time is not known.
QString AtText(const QLocale& locale, std::optional<double> seconds, std::size_t sample) {
  if (!seconds) return QStringLiteral("at sample %1").arg(sample);
  return QStringLiteral("at %1 (sample %2)").arg(TimeText(locale, *seconds, 0)).arg(sample);
}

}  // namespace

QString EndText(const QLocale& locale, const ChargeFigures& figures) {
  const QString name = QString::fromLatin1(ChargeEndName(figures.end));
  if (figures.end == ChargeEnd::kRising || !figures.endSample) {
    return name + QStringLiteral(" (no end found)");
  }
  return name + QLatin1Char(' ') + AtText(locale, figures.endSeconds, *figures.endSample);
}

QStringList FiguresLines(const QLocale& locale, const ChargeFigures& figures) {
  QStringList lines;
  lines << QStringLiteral("Start: ") + VoltsText(locale, figures.startVolts);
  lines << QStringLiteral("Peak: ") + VoltsText(locale, figures.peakVolts) + QLatin1Char(' ') +
               AtText(locale, figures.peakSeconds, figures.peakSample);
  lines << QStringLiteral("End: ") + EndText(locale, figures);
  lines << QStringLiteral("Drop since the peak: ") + MillivoltsText(locale, figures.dropMillivolts);
  lines << QStringLiteral("Duration: ") + (figures.durationSeconds
                                               ? TimeText(locale, *figures.durationSeconds, 0)
                                               : QStringLiteral("not known (no times)"));
  if (figures.slopeMillivoltsPerMinute) {
    lines << QStringLiteral("Slope in the middle: ") +
                 Signed(locale, *figures.slopeMillivoltsPerMinute, 2) + QStringLiteral(" mV/min");
  }
  lines << QStringLiteral("Noise: ") + locale.toString(figures.noiseMillivolts, 'f', 2) +
               QStringLiteral(" mV");
  return lines;
}

QStringList DifferenceLines(const QLocale& locale, const ChargeFigures& charge,
                            const ChargeFigures& reference) {
  QStringList lines;
  lines << QStringLiteral("Peak voltage: ") +
               Signed(locale, (charge.peakVolts - reference.peakVolts) * 1000, 1) +
               QStringLiteral(" mV");
  if (charge.peakSeconds && reference.peakSeconds) {
    lines << QStringLiteral("Time to peak: ") +
                 SignedDuration(locale, *charge.peakSeconds - *reference.peakSeconds);
  }
  lines << QStringLiteral("Drop: ") +
               Signed(locale, charge.dropMillivolts - reference.dropMillivolts, 1) +
               QStringLiteral(" mV");
  if (charge.durationSeconds && reference.durationSeconds) {
    lines << QStringLiteral("Duration: ") +
                 SignedDuration(locale, *charge.durationSeconds - *reference.durationSeconds);
  }
  return lines;
}

QStringList StatisticsLines(const QLocale& locale, const RangeFigures& figures) {
  QStringList lines;
  lines << QStringLiteral("Lowest: ") + VoltsText(locale, figures.lowestVolts);
  lines << QStringLiteral("Highest: ") + VoltsText(locale, figures.highestVolts);
  lines << QStringLiteral("Mean: ") + VoltsText(locale, figures.meanVolts);
  lines << QStringLiteral("Noise: ") + locale.toString(figures.noiseMillivolts, 'f', 2) +
               QStringLiteral(" mV");
  if (figures.slope) {
    lines << QStringLiteral("Slope: ") + Signed(locale, *figures.slope, 2) +
                 (figures.slopePerMinute ? QStringLiteral(" mV/min")
                                         : QStringLiteral(" mV per 1000 samples"));
  }
  return lines;
}

QString ChargeTitle(const ChargeFigures& figures, std::size_t index, std::size_t count) {
  return QStringLiteral("Charge %1 of %2: samples %3 to %4")
      .arg(index + 1)
      .arg(count)
      .arg(figures.firstSample)
      .arg(figures.lastSample);
}

QString ReadingsText(std::size_t readings) {
  return readings == 1 ? QStringLiteral("1 reading") : QStringLiteral("%1 readings").arg(readings);
}

QString SummaryReport(const QLocale& locale, const QString& name, std::size_t readings,
                      bool timesKnown, const std::vector<ChargeFigures>& charges,
                      double peakDropMillivolts) {
  QStringList lines;
  // The first readings wait for the two after them: no charge is judged before.
  if (charges.empty())
    return QStringLiteral("%1: %2, too few to judge.\n").arg(name, ReadingsText(readings));
  lines << QStringLiteral("%1: %2, times %3, -dV threshold %4")
               .arg(name, ReadingsText(readings),
                    timesKnown ? QStringLiteral("known") : QStringLiteral("not known"),
                    MillivoltsText(locale, peakDropMillivolts));
  for (std::size_t i = 0; i < charges.size(); ++i) {
    lines << QString() << ChargeTitle(charges[i], i, charges.size());
    lines << FiguresLines(locale, charges[i]);
  }
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace ampelon
