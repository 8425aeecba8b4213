#include "viewer/qt/overlay_painter.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include "viewer/axis_ticks.h"

namespace ampelon {
namespace {

const QColor kPeakColour(255, 255, 255);
const QColor kEndColour(255, 110, 110);
const QColor kSpanColour(170, 170, 170);
const QColor kFlagColour(120, 200, 255);
// A flag's pole and cloth, logical pixels; a note's text is cut at the end beyond kFlagText.
constexpr double kPoleHeight = 34;
constexpr double kClothWidth = 10;
constexpr double kFlagText = 220;
// Dark enough to read, light enough that a curve under a label still shows.
const QColor kLabelBackground(0, 0, 0, 120);
// Fewer than the volts axis has: a secondary axis, and every label costs its text each frame.
constexpr double kPixelsPerSlopeTick = 72;

enum class LabelPlace { kAbove, kBelow, kLeft };

// A label beside (x, y), kept inside the frame; its box as drawn.
QRectF PaintLabel(QPainter& painter, const PlotFrame& frame, const QString& text, double x,
                  double y, LabelPlace place, QColor colour) {
  const QFontMetricsF metrics(painter.font());
  const double width = metrics.horizontalAdvance(text) + 8;
  const double height = metrics.height() + 2;
  const double wantedLeft = place == LabelPlace::kLeft ? x - 10 - width : x - width / 2;
  const double wantedTop = place == LabelPlace::kAbove   ? y - 14 - height
                           : place == LabelPlace::kBelow ? y + 12
                                                         : y - height / 2;
  const double left = std::clamp(wantedLeft, frame.left + 2, frame.left + frame.width - width - 2);
  const double top = std::clamp(wantedTop, frame.top + 2, frame.top + frame.height - height - 2);
  const QRectF box(left, top, width, height);
  painter.fillRect(box, kLabelBackground);
  painter.setPen(colour);
  painter.drawText(box, Qt::AlignCenter, text);
  return box;
}

}  // namespace

QColor SlopeColour() { return QColor(210, 130, 255); }

std::vector<QRectF> PaintEvents(QPainter& painter, const PlotFrame& frame,
                                const std::vector<PlotEvent>& events,
                                const std::optional<PlotSpan>& span) {
  std::vector<QRectF> drawn;
  if (span) {
    const double bottom = frame.top + frame.height - 4;
    const double left = std::max(frame.PixelX(span->x.low), frame.left - 1);
    const double right = std::min(frame.PixelX(span->x.high), frame.left + frame.width + 1);
    if (std::isfinite(left) && std::isfinite(right) && left < right) {
      painter.setPen(QPen(kSpanColour, 2));
      painter.drawLine(QPointF(left, bottom), QPointF(right, bottom));
      painter.drawLine(QPointF(left, bottom - 5), QPointF(left, bottom));
      painter.drawLine(QPointF(right, bottom - 5), QPointF(right, bottom));
      drawn.emplace_back(left - 2, bottom - 6, right - left + 4, 8);
      drawn.push_back(PaintLabel(painter, frame, span->label, (left + right) / 2, bottom - 6,
                                 LabelPlace::kAbove, kSpanColour));
    }
  }
  const double labelHeight = QFontMetricsF(painter.font()).height() + 2;
  for (const PlotEvent& event : events) {
    const double x = frame.PixelX(event.x);
    const double y = frame.PixelY(event.volts);
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    const QColor colour = event.end ? kEndColour : kPeakColour;
    // The peak's label above it where the plot has room, else to its left, clear of the fall
    // after it and of the end's label, which is below the end; the mark over both.
    const bool pointsDown = y - 14 >= frame.top;
    const LabelPlace place = event.end                               ? LabelPlace::kBelow
                             : y - 14 - labelHeight - 2 >= frame.top ? LabelPlace::kAbove
                                                                     : LabelPlace::kLeft;
    drawn.push_back(PaintLabel(painter, frame, event.label, x, y, place, colour));
    painter.setRenderHint(QPainter::Antialiasing);
    if (event.end) {
      // A ring on the reading, with a short line down to its label.
      painter.setPen(QPen(colour, 1.5));
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(QPointF(x, y), 5.0, 5.0);
      painter.drawLine(QPointF(x, y + 5), QPointF(x, y + 12));
    } else {
      // A triangle pointing at the peak from above, or from below where the plot ends above it.
      const double side = pointsDown ? 1 : -1;
      QPainterPath triangle;
      triangle.moveTo(x, y - 3 * side);
      triangle.lineTo(x - 5, y - 12 * side);
      triangle.lineTo(x + 5, y - 12 * side);
      triangle.closeSubpath();
      painter.fillPath(triangle, colour);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawn.emplace_back(x - 7, y - 14, 14, 28);
  }
  return drawn;
}

std::vector<QRectF> PaintFlags(QPainter& painter, const PlotFrame& frame,
                               const std::vector<PlotEvent>& flags) {
  std::vector<QRectF> drawn;
  const QFontMetricsF metrics(painter.font());
  for (const PlotEvent& flag : flags) {
    const double x = frame.PixelX(flag.x);
    const double y = frame.PixelY(flag.volts);
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    // Above the reading where there is room, else hanging below it.
    const double side = y - kPoleHeight >= frame.top ? -1 : 1;
    const double tip = y + side * kPoleHeight;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kFlagColour, 1.5));
    painter.drawLine(QPointF(x, y), QPointF(x, tip));
    QPainterPath cloth;
    cloth.moveTo(x, tip);
    cloth.lineTo(x + kClothWidth, tip - side * 4);
    cloth.lineTo(x, tip - side * 8);
    cloth.closeSubpath();
    painter.fillPath(cloth, kFlagColour);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawn.emplace_back(x - 2, std::min(y, tip) - 2, kClothWidth + 4, kPoleHeight + 4);
    if (flag.label.isEmpty()) continue;
    const QString text = metrics.elidedText(flag.label, Qt::ElideRight, kFlagText);
    const double width = metrics.horizontalAdvance(text) + 8;
    const double height = metrics.height() + 2;
    const double left = std::clamp(x + kClothWidth + 2, frame.left + 2,
                                   std::max(frame.left + 2, frame.left + frame.width - width - 2));
    const double top = side < 0 ? tip - 2 : tip - height + 6;
    const QRectF box(left, top, width, height);
    painter.fillRect(box, kLabelBackground);
    painter.setPen(kFlagColour);
    painter.drawText(box, Qt::AlignCenter, text);
    drawn.push_back(box);
  }
  return drawn;
}

void PaintSlopeAxis(QPainter& painter, const PlotFrame& frame, AxisRange slope) {
  if (!(slope.Span() > 0)) return;
  const QLocale locale;
  const double right = frame.left + frame.width;
  const auto rowOf = [&](double value) {
    return frame.top + (slope.high - value) / slope.Span() * frame.height;
  };
  const AxisTicks ticks = RoundTicks(
      slope.low, slope.high, std::max(2, static_cast<int>(frame.height / kPixelsPerSlopeTick)));
  painter.setPen(SlopeColour());
  for (int i = 0; i < ticks.count; ++i) {
    const double value = ticks.first + i * ticks.step;
    const double y = rowOf(value);
    if (y < frame.top || y > frame.top + frame.height) continue;
    painter.drawLine(QPointF(right + 1, y), QPointF(right + 5, y));
    painter.drawText(
        QRectF(right + 7, y - 10, 48, 20), Qt::AlignLeft | Qt::AlignVCenter,
        locale.toString(std::fabs(value) < ticks.step / 2 ? 0.0 : value, 'f', ticks.decimals));
  }
  painter.drawText(QRectF(right - 40, 2, 94, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("mV/min"));
}

}  // namespace ampelon
