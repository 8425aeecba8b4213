#include "viewer/qt/charge_report.h"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QDateTime>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QStringList>

#include "history/history_paths.h"
#include "viewer/qt/export_files.h"
#include "viewer/qt/report_plot.h"
#include "viewer/qt/summary_text.h"
#include "viewer/report_content.h"
#include "viewer/report_history.h"

namespace ampelon {
namespace {

// The page is laid out in points (72 a inch), inside margins of 15 mm.
constexpr int kPointsPerInch = 72;
constexpr double kMarginMillimetres = 15;
constexpr double kColumnGap = 18;
constexpr double kSectionGap = 10;
constexpr double kTrendHeight = 118;
constexpr double kTextPoints = 8.5;
// The plot's picture: its logical pixels a point, and device pixels a logical one (~220 dpi).
constexpr double kPlotPixelsPerPoint = 1.3;
constexpr qreal kPlotPixelRatio = 2.35;

const QColor kInk(20, 20, 20);
const QColor kQuiet(105, 105, 105);
const QColor kRule(190, 190, 190);
const QColor kTrendLine(40, 90, 170);
const QColor kCurrentPoint(200, 40, 40);

QStringList ToQt(const std::vector<std::string>& lines) {
  QStringList list;
  for (const std::string& line : lines) list << QString::fromStdString(line);
  return list;
}

QString DateText(std::int64_t unixSeconds, const QString& format) {
  return QDateTime::fromSecsSinceEpoch(unixSeconds).toString(format);
}

void SetFont(QPainter& painter, double points, bool bold = false) {
  QFont font = painter.font();
  font.setPointSizeF(points);
  font.setBold(bold);
  painter.setFont(font);
}

// A section's heading with a rule under it; the y below it.
double DrawHeading(QPainter& painter, double x, double y, double width, const QString& text) {
  SetFont(painter, 10, true);
  const double height = QFontMetricsF(painter.font()).height();
  painter.setPen(kInk);
  painter.drawText(QRectF(x, y, width, height), Qt::AlignLeft | Qt::AlignVCenter, text);
  painter.setPen(QPen(kRule, 0.6));
  painter.drawLine(QPointF(x, y + height + 1), QPointF(x + width, y + height + 1));
  return y + height + 4;
}

// The height of `text` wrapped to `width`.
double WrappedHeight(const QFontMetricsF& metrics, double width, const QString& text) {
  return metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap | Qt::AlignLeft, text)
      .height();
}

// As much of the start of `text` as fills `height` wrapped to `width`, cut with "…"; empty where
// not even a line fits.
QString FittingStart(const QFontMetricsF& metrics, double width, double height,
                     const QString& text) {
  // More than a column of the page ever holds, so that a huge text is not laid out whole.
  constexpr qsizetype kMostCharacters = 10000;
  qsizetype fits = 0;
  qsizetype tooLong = std::min(text.size(), kMostCharacters) + 1;
  while (tooLong - fits > 1) {
    const qsizetype middle = (fits + tooLong) / 2;
    if (WrappedHeight(metrics, width, text.left(middle) + QStringLiteral("…")) <= height) {
      fits = middle;
    } else {
      tooLong = middle;
    }
  }
  return fits > 0 ? text.left(fits) + QStringLiteral("…") : QString();
}

// `lines` wrapped to `width` from `y` down to `bottom` at most; the line that does not fit is
// cut with "…", and the lines after it are counted in a last line. The y below them.
double DrawLines(QPainter& painter, double x, double y, double width, double bottom,
                 const QStringList& lines, QColor colour = kInk) {
  SetFont(painter, kTextPoints);
  painter.setPen(colour);
  const QFontMetricsF metrics(painter.font());
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QRectF wanted =
        metrics.boundingRect(QRectF(x, y, width, 1e6), Qt::TextWordWrap | Qt::AlignLeft, lines[i]);
    const bool last = i + 1 == lines.size();
    // Room is kept for the line that says how many more there are.
    const double room = bottom - y - (last ? 0 : metrics.height());
    if (wanted.height() > room) {
      const QString start = FittingStart(metrics, width, room, lines[i]);
      if (!start.isEmpty()) {
        const double height = WrappedHeight(metrics, width, start);
        painter.drawText(QRectF(x, y, width, height), Qt::TextWordWrap | Qt::AlignLeft, start);
        y += height + 1;
        if (last) return y;
        ++i;
      }
      painter.setPen(kQuiet);
      painter.drawText(QRectF(x, y, width, metrics.height()), Qt::AlignLeft,
                       QStringLiteral("… and %1 more").arg(lines.size() - i));
      return y + metrics.height();
    }
    painter.drawText(QRectF(x, y, width, wanted.height()), Qt::TextWordWrap | Qt::AlignLeft,
                     lines[i]);
    y += wanted.height() + 1;
  }
  return y;
}

// One measure against the date, in `box`: the points joined, this charge's in red, the extremes
// written at the left, the first and last date below.
void DrawTrend(QPainter& painter, const QRectF& box, const TrendSeries& series,
               const QLocale& locale, int decimals) {
  SetFont(painter, 8, true);
  const double titleHeight = QFontMetricsF(painter.font()).height() + 2;
  painter.setPen(kInk);
  painter.drawText(QRectF(box.left(), box.top(), box.width(), titleHeight), Qt::AlignLeft,
                   QString::fromStdString(series.title));
  SetFont(painter, 7);
  const double labelHeight = QFontMetricsF(painter.font()).height();
  const QRectF area(box.left() + 30, box.top() + titleHeight + 2, box.width() - 34,
                    box.height() - titleHeight - labelHeight - 6);
  painter.setPen(QPen(kRule, 0.6));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area);
  if (series.points.empty()) {
    painter.setPen(kQuiet);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("not known"));
    return;
  }
  const auto [lowest, highest] = std::minmax_element(
      series.points.begin(), series.points.end(),
      [](const TrendSeries::Point& a, const TrendSeries::Point& b) { return a.value < b.value; });
  // A flat trend sits in the middle of a span of its own size.
  const double margin = std::max((highest->value - lowest->value) * 0.12,
                                 std::max(std::fabs(highest->value) * 0.01, 1e-3));
  const double low = lowest->value - margin;
  const double high = highest->value + margin;
  const double first = static_cast<double>(series.points.front().date);
  const double last = static_cast<double>(series.points.back().date);
  const auto place = [&](const TrendSeries::Point& point) {
    const double share =
        last > first ? (static_cast<double>(point.date) - first) / (last - first) : 0.5;
    return QPointF(area.left() + 6 + share * (area.width() - 12),
                   area.bottom() - (point.value - low) / (high - low) * area.height());
  };
  painter.setPen(kQuiet);
  painter.drawText(QRectF(box.left(), area.top() - 2, 28, labelHeight), Qt::AlignRight,
                   locale.toString(highest->value, 'f', decimals));
  painter.drawText(QRectF(box.left(), area.bottom() - labelHeight + 2, 28, labelHeight),
                   Qt::AlignRight, locale.toString(lowest->value, 'f', decimals));
  const QString format = QStringLiteral("yyyy-MM-dd");
  painter.drawText(QRectF(area.left(), area.bottom() + 2, area.width(), labelHeight), Qt::AlignLeft,
                   DateText(series.points.front().date, format));
  if (series.points.size() > 1) {
    painter.drawText(QRectF(area.left(), area.bottom() + 2, area.width(), labelHeight),
                     Qt::AlignRight, DateText(series.points.back().date, format));
  }
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath line;
  for (std::size_t i = 0; i < series.points.size(); ++i) {
    const QPointF at = place(series.points[i]);
    if (i == 0) {
      line.moveTo(at);
    } else {
      line.lineTo(at);
    }
  }
  painter.setPen(QPen(kTrendLine, 0.9));
  painter.drawPath(line);
  painter.setPen(Qt::NoPen);
  for (std::size_t i = 0; i < series.points.size(); ++i) {
    const bool current = series.current == i;
    painter.setBrush(current ? kCurrentPoint : kTrendLine);
    const double radius = current ? 2.6 : 1.5;
    painter.drawEllipse(place(series.points[i]), radius, radius);
  }
  painter.setBrush(Qt::NoBrush);
  painter.setRenderHint(QPainter::Antialiasing, false);
}

// The battery's trend along the bottom of the page, and its judgement.
void DrawBatteryTrend(QPainter& painter, const QRectF& box, const ChargeReport& report,
                      const QLocale& locale) {
  const std::string battery = report.record ? report.record->details.battery : std::string();
  double y = DrawHeading(painter, box.left(), box.top(), box.width(),
                         battery.empty() ? QStringLiteral("Trend of the battery")
                                         : QStringLiteral("Trend of %1 (%2 charges)")
                                               .arg(QString::fromStdString(battery))
                                               .arg(report.batteryCharges.size()));
  if (battery.empty() || report.batteryCharges.size() < 2) {
    DrawLines(painter, box.left(), y, box.width(), box.bottom(),
              {battery.empty()
                   ? QStringLiteral("No battery named: name it with File > Charge Details… to "
                                    "follow its charges here.")
                   : QStringLiteral("The first charge of %1 in the charge library: no trend yet.")
                         .arg(QString::fromStdString(battery))},
              kQuiet);
    return;
  }
  const std::vector<TrendSeries> trend =
      BatteryTrend(report.batteryCharges, report.record ? report.record->id : 0);
  const int decimals[] = {3, 0, 1};
  SetFont(painter, kTextPoints);
  const double judgementHeight = QFontMetricsF(painter.font()).height() + 4;
  const double each = (box.width() - 2 * kColumnGap) / static_cast<double>(trend.size());
  for (std::size_t i = 0; i < trend.size(); ++i) {
    DrawTrend(painter,
              QRectF(box.left() + static_cast<double>(i) * (each + kColumnGap), y, each,
                     box.bottom() - y - judgementHeight),
              trend[i], locale, decimals[i]);
  }
  DrawLines(painter, box.left(), box.bottom() - judgementHeight + 3, box.width(), box.bottom() + 2,
            {QString::fromStdString(report.judgement)});
}

}  // namespace

void AddLibraryHistory(ChargeReport& report) {
  if (report.charge == nullptr) return;
  const Result<std::filesystem::path> libraryPath = ChargeLibraryPath();
  ReportHistory history = libraryPath
                              ? ReportHistoryOf(*libraryPath, report.charge->counts, report.chosen)
                              : ReportHistory{{}, {}, {}, libraryPath.error()};
  report.record = std::move(history.record);
  report.batteryCharges = std::move(history.batteryCharges);
  report.judgement = std::move(history.judgement);
  report.libraryProblem = std::move(history.problem);
}

QPageSize ReportPageSize(const QLocale& locale) {
  return QPageSize(locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                           : QPageSize::A4);
}

QByteArray DrawChargeReport(const ChargeReport& report, const QPageSize& pageSize,
                            const QLocale& locale) {
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&pdf);
    writer.setResolution(kPointsPerInch);
    writer.setPageLayout(QPageLayout(
        pageSize, QPageLayout::Portrait,
        QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
        QPageLayout::Millimeter));
    writer.setTitle(QStringLiteral("Charge report: ") + report.fileName);
    writer.setCreator(QStringLiteral("Ampelon Viewer"));
    QPainter painter(&writer);
    const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPoints().size());
    const std::optional<ChargeFigures> figures =
        report.chosen < report.charges.size() ? std::make_optional(report.charges[report.chosen])
                                              : std::nullopt;

    // The title, and what the charge is.
    SetFont(painter, 15, true);
    const double titleHeight = QFontMetricsF(painter.font()).height();
    painter.setPen(kInk);
    painter.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Charge report: ") + report.fileName);
    QStringList about;
    const std::size_t readings = report.charge != nullptr ? report.charge->counts.size() : 0;
    about << QStringLiteral("%1 readings").arg(locale.toString(static_cast<qulonglong>(readings)));
    if (figures && report.charges.size() > 1) {
      about << ChargeTitle(*figures, report.chosen, report.charges.size());
    }
    if (report.record) {
      about << QStringLiteral("recorded ") +
                   DateText(report.record->recordedAt, QStringLiteral("yyyy-MM-dd hh:mm"));
    }
    about << QStringLiteral("-dV threshold ") + locale.toString(report.peakDropMillivolts, 'f', 1) +
                 QStringLiteral(" mV");
    double y = DrawLines(painter, 0, titleHeight + 2, page.width(), page.height(),
                         {about.join(QStringLiteral("  ·  "))}, kQuiet) +
               6;

    // The plot, as wide as the page.
    ReportPlotContent plot;
    plot.charge = report.charge;
    plot.reference = report.reference;
    plot.chargeName = report.chargeName;
    plot.referenceName = report.referenceName;
    plot.timeAxis = report.timeAxis;
    plot.figures = figures ? &*figures : nullptr;
    if (report.record) plot.notes = report.record->notes;
    const QSizeF plotSize(page.width(), std::round(page.width() * 0.62));
    const QImage image =
        RenderReportPlot(plot,
                         QSize(static_cast<int>(plotSize.width() * kPlotPixelsPerPoint),
                               static_cast<int>(plotSize.height() * kPlotPixelsPerPoint)),
                         kPlotPixelRatio);
    if (!image.isNull()) painter.drawImage(QRectF(QPointF(0, y), plotSize), image);
    y += plotSize.height() + kSectionGap;

    // The battery and its notes at the left, the figures at the right, above the trend.
    const double trendTop = page.height() - kTrendHeight;
    const double column = (page.width() - kColumnGap) / 2;
    const double columnsBottom = trendTop - kSectionGap;
    double left = DrawHeading(painter, 0, y, column, QStringLiteral("Battery"));
    QStringList details =
        ToQt(ReportDetailsLines(report.record ? report.record->details : BatteryDetails{},
                                figures.value_or(ChargeFigures{})));
    if (!report.libraryProblem.empty()) {
      details << QStringLiteral("The charge library could not be read: ") +
                     QString::fromStdString(report.libraryProblem);
    }
    // The notes' heading and a few of them keep their room below long battery details.
    constexpr double kNotesRoom = 60;
    left = DrawLines(painter, 0, left, column, columnsBottom - kNotesRoom, details) + kSectionGap;
    if (left < columnsBottom - 30) {
      left = DrawHeading(painter, 0, left, column, QStringLiteral("Notes"));
      const QStringList notes =
          report.record ? ToQt(ReportNoteLines(report.record->notes)) : QStringList();
      if (notes.isEmpty()) {
        DrawLines(painter, 0, left, column, columnsBottom, {QStringLiteral("No notes")}, kQuiet);
      } else {
        DrawLines(painter, 0, left, column, columnsBottom, notes);
      }
    }
    const double rightX = column + kColumnGap;
    double right = DrawHeading(painter, rightX, y, column, QStringLiteral("Figures"));
    right = DrawLines(painter, rightX, right, column, columnsBottom,
                      figures ? FiguresLines(locale, *figures)
                              : QStringList{QStringLiteral("No charge found")}) +
            kSectionGap;
    if (figures && report.referenceFigures && right < columnsBottom - 30) {
      right = DrawHeading(painter, rightX, right, column, QStringLiteral("Against the reference"));
      DrawLines(painter, rightX, right, column, columnsBottom,
                DifferenceLines(locale, *figures, *report.referenceFigures));
    }

    DrawBatteryTrend(painter, QRectF(0, trendTop, page.width(), kTrendHeight), report, locale);
  }
  return pdf.data();
}

Result<void> SaveChargeReport(const std::filesystem::path& path, const ChargeReport& report,
                              const QLocale& locale) {
  const QByteArray pdf = DrawChargeReport(report, ReportPageSize(locale), locale);
  if (pdf.isEmpty()) return Failure{"The report could not be made."};
  return SaveBytesFile(path, pdf);
}

}  // namespace ampelon
