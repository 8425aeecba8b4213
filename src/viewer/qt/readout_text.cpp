#include "viewer/qt/readout_text.h"

#include <cmath>

#include "measurement/times_parser.h"
#include "viewer/clock_text.h"

namespace ampelon {
namespace {

QString Signed(const QLocale& locale, double value, int decimals) {
  const QString text = locale.toString(value, 'f', decimals);
  return value >= 0 ? locale.positiveSign() + text : text;
}

QString Millivolts(const QLocale& locale, double volts) {
  return Signed(locale, volts * 1000, 1) + QStringLiteral(" mV");
}

QString VoltsText(const QLocale& locale, float volts) {
  return locale.toString(static_cast<double>(volts), 'f', 4) + QStringLiteral(" V");
}

}  // namespace

QString TimeText(const QLocale& locale, double seconds, int decimals) {
  // Past every time a times file holds (and every difference of two): no whole number of its
  // seconds need fit a long long.
  if (!(std::fabs(seconds) < kTimesEndAt)) {
    return locale.toString(seconds, 'g', 6) + QStringLiteral(" s");
  }
  QString text = QString::fromStdString(ClockText(seconds, decimals));
  if (text.startsWith(QLatin1Char('-'))) text.replace(0, 1, locale.negativeSign());
  return text.replace(QLatin1Char('.'), locale.decimalPoint());
}

QString ReadingText(const QLocale& locale, const ReadingValues& values, int decimals) {
  QString text = QStringLiteral("sample %1").arg(values.sampleNumber);
  if (values.seconds) text += QStringLiteral(" at ") + TimeText(locale, *values.seconds, decimals);
  return text + QStringLiteral(": ") + VoltsText(locale, values.volts) +
         QStringLiteral(", count %1").arg(values.count);
}

QString PointerText(const QLocale& locale, const std::optional<ReadingValues>& charge,
                    const std::optional<ReadingValues>& reference, int decimals) {
  if (!charge) {
    return reference ? QStringLiteral("reference ") + ReadingText(locale, *reference, decimals)
                     : QString();
  }
  if (!reference) return ReadingText(locale, *charge, decimals);
  QString text = QStringLiteral("sample %1").arg(charge->sampleNumber);
  if (charge->seconds)
    text += QStringLiteral(" at ") + TimeText(locale, *charge->seconds, decimals);
  return text + QStringLiteral(": ") + VoltsText(locale, charge->volts) +
         QStringLiteral(", reference ") + VoltsText(locale, reference->volts) +
         QStringLiteral(", ") +
         Millivolts(locale,
                    static_cast<double>(charge->volts) - static_cast<double>(reference->volts));
}

QString DifferenceText(const QLocale& locale, const MarkerDifference& difference, int decimals) {
  QString text = QStringLiteral("Δ %1 samples").arg(difference.samples);
  if (difference.seconds) {
    text += QStringLiteral(", Δt ") + TimeText(locale, *difference.seconds, decimals);
  }
  text += QStringLiteral(", ΔV ") + Signed(locale, difference.volts, 4) + QStringLiteral(" V");
  if (difference.millivoltsPerMinute) {
    text += QStringLiteral(", ") + Signed(locale, *difference.millivoltsPerMinute, 2) +
            QStringLiteral(" mV/min");
  }
  return text;
}

QString BriefDifferenceText(const QLocale& locale, const MarkerDifference& difference,
                            int decimals) {
  QString text = QStringLiteral("A→B ");
  text += difference.seconds ? TimeText(locale, *difference.seconds, decimals)
                             : QStringLiteral("%1 samples").arg(difference.samples);
  text += QStringLiteral(", ") + Millivolts(locale, difference.volts);
  if (difference.millivoltsPerMinute) {
    text += QStringLiteral(", ") + Signed(locale, *difference.millivoltsPerMinute, 2) +
            QStringLiteral(" mV/min");
  }
  return text;
}

}  // namespace ampelon
