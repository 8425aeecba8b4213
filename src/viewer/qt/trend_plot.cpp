#include "viewer/qt/trend_plot.h"

#include <algorithm>
#include <cmath>

#include <QDateTime>
#include <QLocale>
#include <QPainter>

#include "viewer/axis_ticks.h"
#include "viewer/plot_frame.h"
#include "viewer/qt/plot_renderer.h"

namespace ampelon {
namespace {

constexpr double kSecondsADay = 86400;
const QColor kBackground(0, 0, 0);
const QColor kGrid(48, 48, 48);
const QColor kFrame(112, 112, 112);
const QColor kText(200, 200, 200);

// Room above and below the values, and at least a little span, so that one charge or equal
// values still make a plot.
AxisRange Padded(double low, double high, double least) {
  const double middle = (low + high) / 2;
  const double half = std::max((high - low) * 0.6, least / 2);
  return {middle - half, middle + half};
}

}  // namespace

TrendPlot::TrendPlot(const QString& title, const QString& unit, int decimals, QWidget* parent)
    : QWidget(parent), m_title(title), m_unit(unit), m_decimals(decimals) {
  setMinimumSize(200, 120);
  setAccessibleName(title);
}

void TrendPlot::SetPoints(std::vector<Point> points) {
  m_points = std::move(points);
  std::sort(m_points.begin(), m_points.end(),
            [](const Point& a, const Point& b) { return a.date < b.date; });
  QStringList said;
  const QLocale locale;
  for (const Point& point : m_points) {
    said << locale.toString(QDateTime::fromSecsSinceEpoch(point.date).date(),
                            QLocale::ShortFormat) +
                QStringLiteral(": ") + locale.toString(point.value, 'f', m_decimals) + m_unit;
  }
  setAccessibleDescription(said.join(QStringLiteral("; ")));
  update();
}

void TrendPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  painter.setPen(kText);
  const QLocale locale;
  painter.drawText(QRectF(8, 2, width() - 16, 20), Qt::AlignLeft | Qt::AlignVCenter,
                   m_title + QStringLiteral(" (") + m_unit.trimmed() + QLatin1Char(')'));
  if (m_points.empty()) {
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No charges"));
    return;
  }
  const auto [lowest, highest] =
      std::minmax_element(m_points.begin(), m_points.end(),
                          [](const Point& a, const Point& b) { return a.value < b.value; });
  const double firstDay = m_points.front().date / kSecondsADay;
  const double lastDay = m_points.back().date / kSecondsADay;
  const AxisRange days = Padded(firstDay, lastDay, 2);
  const AxisRange values = Padded(lowest->value, highest->value, 4 * std::pow(10.0, -m_decimals));
  const PlotFrame frame = FrameFor(width(), height(), days, values);

  const AxisTicks valueTicks =
      RoundTicks(values.low, values.high, std::max(2, static_cast<int>(frame.height / 30)));
  for (int i = 0; i < valueTicks.count; ++i) {
    const double value = valueTicks.first + i * valueTicks.step;
    const double y = frame.PixelY(value);
    painter.setPen(kGrid);
    painter.drawLine(QPointF(frame.left, y), QPointF(frame.left + frame.width, y));
    painter.setPen(kText);
    painter.drawText(QRectF(0, y - 10, frame.left - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
                     locale.toString(value, 'f', valueTicks.decimals));
  }
  const AxisTicks dayTicks =
      RoundTicks(days.low, days.high, std::max(2, static_cast<int>(frame.width / 80)));
  const double bottom = frame.top + frame.height;
  // Days within one year; months with their year where the charges span more than one.
  const auto yearOf = [](double day) {
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(day * kSecondsADay), Qt::UTC)
        .date()
        .year();
  };
  const QString dayFormat =
      yearOf(days.low) == yearOf(days.high) ? QStringLiteral("MM-dd") : QStringLiteral("yyyy-MM");
  for (int i = 0; i < dayTicks.count; ++i) {
    const double day = dayTicks.first + i * dayTicks.step;
    if (day != std::floor(day)) continue;  // a date, not a time of day
    const double x = frame.PixelX(day);
    painter.setPen(kGrid);
    painter.drawLine(QPointF(x, frame.top), QPointF(x, bottom));
    painter.setPen(kText);
    // Whole days of UTC, labelled as such.
    const QString text =
        QDateTime::fromSecsSinceEpoch(static_cast<qint64>(day * kSecondsADay), Qt::UTC)
            .toString(dayFormat);
    painter.drawText(QRectF(x - 30, bottom + 3, 60, 18), Qt::AlignHCenter | Qt::AlignTop, text);
  }
  painter.setPen(kFrame);
  painter.drawRect(QRectF(frame.left, frame.top, frame.width, frame.height));

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipRect(QRectF(frame.left, frame.top, frame.width, frame.height));
  QPolygonF line;
  for (const Point& point : m_points) {
    line << QPointF(frame.PixelX(point.date / kSecondsADay), frame.PixelY(point.value));
  }
  painter.setPen(QPen(PlotRenderer::ChargeColour(), 1.5));
  painter.drawPolyline(line);
  painter.setBrush(PlotRenderer::ChargeColour());
  for (const QPointF& at : line) painter.drawEllipse(at, 3.0, 3.0);
}

}  // namespace ampelon
