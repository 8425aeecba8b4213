#include "viewer/qt/readout_text.h"

#include <cmath>

#include "measurement/times_parser.h"

namespace ampelon {
namespace {

QString Signed(const QLocale& locale, double value, int decimals) {
  const QString text = locale.toString(value, 'f', decimals);
  return value >= 0 ? locale.positiveSign() + text : text;
}

}  // namespace

QString DurationText(const QLocale& locale, double seconds) {
  // Past every time a times file holds (and every difference of two): no whole number of tenths
  // of such a duration need fit a long long.
  if (!(std::fabs(seconds) < kTimesEndAt)) {
    return locale.toString(seconds, 'g', 6) + QStringLiteral(" s");
  }
  const QString sign = seconds < 0 ? locale.negativeSign() : QString();
  // Tenths are counted whole first, so that 59.96 s is written 1:00.0 rather than 0:60.0.
  const double tenths = std::round(std::fabs(seconds) * 10);
  if (tenths < 600) return sign + locale.toString(tenths / 10, 'f', 1) + QStringLiteral(" s");
  const auto whole = static_cast<long long>(tenths);
  const long long totalSeconds = whole / 10;
  const QString secondsPart = QStringLiteral("%1%2%3")
                                  .arg(totalSeconds % 60, 2, 10, QLatin1Char('0'))
                                  .arg(locale.decimalPoint())
                                  .arg(whole % 10);
  const long long minutes = totalSeconds / 60;
  if (minutes < 60) return sign + QStringLiteral("%1:%2").arg(minutes).arg(secondsPart);
  return sign + QStringLiteral("%1:%2:%3")
                    .arg(minutes / 60)
                    .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                    .arg(secondsPart);
}

QString ReadingText(const QLocale& locale, const ReadingValues& values) {
  QString text = QStringLiteral("sample %1").arg(values.sampleNumber);
  if (values.seconds) text += QStringLiteral(" at ") + DurationText(locale, *values.seconds);
  return text + QStringLiteral(", %1 V, count %2")
                    .arg(locale.toString(static_cast<double>(values.volts), 'f', 4))
                    .arg(values.count);
}

QString DifferenceText(const QLocale& locale, const MarkerDifference& difference) {
  QString text = QStringLiteral("Δ %1 samples").arg(difference.samples);
  if (difference.seconds) {
    text += QStringLiteral(", Δt ") + DurationText(locale, *difference.seconds);
  }
  text += QStringLiteral(", ΔV ") + Signed(locale, difference.volts, 4) + QStringLiteral(" V");
  if (difference.millivoltsPerMinute) {
    text += QStringLiteral(", ") + Signed(locale, *difference.millivoltsPerMinute, 2) +
            QStringLiteral(" mV/min");
  }
  return text;
}

}  // namespace ampelon
