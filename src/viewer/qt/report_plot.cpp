#include "viewer/qt/report_plot.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include "common/volts.h"
#include "viewer/plot_frame.h"
#include "viewer/plot_series.h"
#include "viewer/plot_view.h"
#include "viewer/qt/plot_renderer.h"
#include "viewer/reference_placement.h"
#include "viewer/series_extent.h"

namespace ampelon {
namespace {

const QColor kFlagColour(255, 215, 64);

// The x of reading `reading` of the charge on its series, where it is drawn.
std::optional<double> XOfReading(const PlotSeries& series, std::size_t reading) {
  const std::optional<std::size_t> point = series.PointOf(reading);
  if (!point) return std::nullopt;
  return series.X(*point);
}

// A pole from the top of the plot down to the reading, and a pennant with the note's number.
void PaintFlag(QPainter& painter, const PlotFrame& frame, double x, double volts, int number) {
  const double pixelX = frame.PixelX(x);
  const double pixelY = std::clamp(frame.PixelY(volts), frame.top, frame.top + frame.height);
  if (!std::isfinite(pixelX) || pixelX < frame.left || pixelX > frame.left + frame.width) return;
  const double top = frame.top + 4;
  painter.setPen(QPen(kFlagColour, 1.2, Qt::DashLine));
  painter.drawLine(QPointF(pixelX, top), QPointF(pixelX, pixelY));
  const QString label = QString::number(number);
  const double width = painter.fontMetrics().horizontalAdvance(label) + 8;
  const double height = painter.fontMetrics().height();
  // The pennant points right, or left where it would leave the plot.
  const double side = pixelX + width + 6 <= frame.left + frame.width ? 1 : -1;
  QPainterPath pennant;
  pennant.moveTo(pixelX, top);
  pennant.lineTo(pixelX + side * (width + 6), top);
  pennant.lineTo(pixelX + side * width, top + height / 2);
  pennant.lineTo(pixelX + side * (width + 6), top + height);
  pennant.lineTo(pixelX, top + height);
  pennant.closeSubpath();
  painter.fillPath(pennant, kFlagColour);
  painter.setPen(Qt::black);
  const double textLeft = side > 0 ? pixelX : pixelX - width;
  painter.drawText(QRectF(textLeft, top, width, height), Qt::AlignCenter, label);
}

}  // namespace

QImage RenderReportPlot(const ReportPlotContent& content, QSize logicalSize,
                        qreal devicePixelRatio) {
  if (content.charge == nullptr) return {};
  QImage image(logicalSize * devicePixelRatio, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.setDevicePixelRatio(devicePixelRatio);
  const Charge& charge = *content.charge;
  const XAxis axis =
      content.timeAxis && !charge.seconds.empty() ? XAxis::kTime : XAxis::kSampleNumber;
  const PlotSeries series(charge, axis);
  std::optional<PlotSeries> referenceSeries;
  if (content.reference != nullptr) {
    const ReferencePlacement placement = PlaceReference(charge, *content.reference, axis);
    referenceSeries.emplace(*content.reference, axis, placement.xOffset,
                            placement.secondsPerReading);
  }
  const PlotSeries* reference = referenceSeries ? &*referenceSeries : nullptr;
  PlotView view;
  view.ShowAll(XExtent({&series, reference}).value_or(AxisRange{0, 1}));
  PlotScene scene;
  scene.emptyText = QStringLiteral("No readings");
  if (series.Size() > 0) {
    scene.charge = &series;
    scene.reference = reference;
  }
  scene.chargeName = content.chargeName;
  scene.referenceName = content.referenceName;
  scene.x = view.X();
  scene.volts = VoltsInView({&series, reference}, view.X());
  if (const ChargeFigures* figures = content.figures) {
    if (const auto x = XOfReading(series, figures->peakSample - 1)) {
      scene.events.push_back({*x, figures->peakVolts,
                              QStringLiteral("peak ") +
                                  QLocale().toString(figures->peakVolts, 'f', 4) +
                                  QStringLiteral(" V"),
                              false});
    }
    if (figures->endSample && *figures->endSample - 1 < charge.counts.size()) {
      const std::size_t reading = *figures->endSample - 1;
      if (const auto x = XOfReading(series, reading)) {
        scene.events.push_back({*x, Volts(charge.counts[reading]),
                                QString::fromLatin1(ChargeEndName(figures->end)), true});
      }
    }
  }
  PlotRenderer().Render(scene, image);
  if (scene.charge == nullptr) return image;
  const PlotFrame frame = FrameFor(logicalSize.width(), logicalSize.height(), scene.x, scene.volts);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipRect(QRectF(frame.left, frame.top, frame.width, frame.height));
  for (std::size_t i = 0; i < content.notes.size(); ++i) {
    const std::size_t sample = content.notes[i].sample;
    if (sample == 0 || sample > charge.counts.size()) continue;
    if (const auto x = XOfReading(series, sample - 1)) {
      PaintFlag(painter, frame, *x, Volts(charge.counts[sample - 1]), static_cast<int>(i + 1));
    }
  }
  return image;
}

}  // namespace ampelon
