#include "ui/qt/chart_widget.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <QPaintEvent>
#include <QPainter>

namespace ampelon {
namespace {

QRgb ToRgb(Colour colour) { return qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour)); }

constexpr uchar kBackgroundIndex = 0;

}  // namespace

ChartWidget::ChartWidget(const Twips& twips, QWidget* parent) : QWidget(parent), m_twips(twips) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
}

void ChartWidget::SetSize(float widthTwips, float heightTwips) {
  m_widthTwips = widthTwips;
  m_heightTwips = heightTwips;
  resize(std::max(0, m_twips.ToPixels(widthTwips)), std::max(0, m_twips.ToPixels(heightTwips)));
  EnsureImage();
}

float ChartWidget::WidthTwips() const {
  // Report the size that was asked for while the widget still has it, so that whole twips
  // survive; otherwise what the widget really measures.
  return m_twips.ToPixels(m_widthTwips) == width() ? m_widthTwips : m_twips.FromPixels(width());
}

float ChartWidget::HeightTwips() const {
  return m_twips.ToPixels(m_heightTwips) == height() ? m_heightTwips : m_twips.FromPixels(height());
}

float ChartWidget::TopTwips() const { return m_twips.FromPixels(y()); }

void ChartWidget::SetChartUnits(const ChartUnits& units) { m_units = units; }

void ChartWidget::EnsureImage() {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels(static_cast<int>(std::ceil(width() * ratio)),
                     static_cast<int>(std::ceil(height() * ratio)));
  if (m_image.size() != pixels || m_image.devicePixelRatio() != ratio) {
    // One byte a pixel with a colour table: the chart uses a handful of colours, and a quarter of
    // the memory keeps a full redraw in the processor's cache.
    m_image = QImage(pixels, QImage::Format_Indexed8);
    m_image.setColorTable(m_colours);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(kBackgroundIndex);
    m_dotSize = std::max(1, static_cast<int>(std::lround(ratio)));
  }
}

ChartWidget::Mapping ChartWidget::CurrentMapping() const {
  Mapping mapping;
  mapping.left = m_units.left;
  mapping.top = m_units.top;
  mapping.scaleX = m_image.width() / static_cast<double>(m_units.width);
  mapping.scaleY = m_image.height() / static_cast<double>(m_units.height);
  return mapping;
}

uchar ChartWidget::ColourIndex(Colour colour) {
  const QRgb rgb = ToRgb(colour);
  const auto found = std::find(m_colours.begin(), m_colours.end(), rgb);
  if (found != m_colours.end()) return static_cast<uchar>(found - m_colours.begin());
  if (m_colours.size() == 256) return static_cast<uchar>(m_colours.size() - 1);
  m_colours.push_back(rgb);
  m_image.setColorTable(m_colours);
  return static_cast<uchar>(m_colours.size() - 1);
}

void ChartWidget::Clear() {
  EnsureImage();
  m_image.fill(kBackgroundIndex);
  update();
}

void ChartWidget::FillRect(int left, int top, int right, int bottom, uchar index) {
  right = std::min(right, m_image.width());
  bottom = std::min(bottom, m_image.height());
  uchar* bits = m_image.bits();
  const auto stride = static_cast<std::ptrdiff_t>(m_image.bytesPerLine());
  for (int row = top; row < bottom; ++row) {
    std::fill(bits + row * stride + left, bits + row * stride + right, index);
  }
}

void ChartWidget::DrawLine(float x1, float y1, float x2, float y2, Colour colour) {
  EnsureImage();
  if (m_image.isNull()) return;
  const Mapping map = CurrentMapping();
  const double px1 = (x1 - map.left) * map.scaleX;
  const double py1 = (y1 - map.top) * map.scaleY;
  const double px2 = (x2 - map.left) * map.scaleX;
  const double py2 = (y2 - map.top) * map.scaleY;
  if (!std::isfinite(px1) || !std::isfinite(py1) || !std::isfinite(px2) || !std::isfinite(py2)) {
    return;
  }
  const uchar index = ColourIndex(colour);
  // The grid is all horizontal and vertical lines: filled directly, one dot wide.
  if (px1 != px2 && py1 != py2) return;
  const double width = m_image.width();
  const double height = m_image.height();
  if (std::max(px1, px2) < 0 || std::min(px1, px2) >= width || std::max(py1, py2) < 0 ||
      std::min(py1, py2) >= height) {
    return;
  }
  const auto left = static_cast<int>(std::max(std::min(px1, px2), 0.0));
  const auto top = static_cast<int>(std::max(std::min(py1, py2), 0.0));
  const auto right = static_cast<int>(std::min(std::max(px1, px2), width - 1));
  const auto bottom = static_cast<int>(std::min(std::max(py1, py2), height - 1));
  FillRect(left, top, right + m_dotSize, bottom + m_dotSize, index);
  update();
}

void ChartWidget::DrawPoints(std::span<const ChartPoint> points, Colour colour) {
  EnsureImage();
  if (m_image.isNull()) return;
  switch (m_dotSize) {
    case 1:
      PlotDots<1>(points, ColourIndex(colour));
      break;
    case 2:
      PlotDots<2>(points, ColourIndex(colour));
      break;
    default:
      PlotDots<0>(points, ColourIndex(colour));
      break;
  }
  update();
}

template <int kFixedDot>
void ChartWidget::PlotDots(std::span<const ChartPoint> points, uchar index) {
  const int dot = kFixedDot > 0 ? kFixedDot : m_dotSize;
  if (m_image.width() < dot || m_image.height() < dot) return;
  // Single precision is ample for pixel positions and keeps this loop short; the comparisons
  // also drop NaN and points far outside before any conversion to int.
  const auto left = static_cast<float>(m_units.left);
  const auto top = static_cast<float>(m_units.top);
  const auto width = static_cast<float>(m_image.width());
  const auto height = static_cast<float>(m_image.height());
  const float scaleX = width / m_units.width;
  const float scaleY = height / m_units.height;
  const int lastColumn = m_image.width() - dot;
  const int lastRow = m_image.height() - dot;
  uchar* bits = m_image.bits();
  const auto stride = static_cast<std::ptrdiff_t>(m_image.bytesPerLine());
  for (const ChartPoint& point : points) {
    const float x = (point.x - left) * scaleX;
    const float y = (point.y - top) * scaleY;
    if (!(x >= 0.0f && x < width && y >= 0.0f && y < height)) continue;
    // A dot that starts in the last pixels is pulled in rather than cut off.
    const int column = std::min(static_cast<int>(x), lastColumn);
    const int row = std::min(static_cast<int>(y), lastRow);
    uchar* pixel = bits + row * stride + column;
    for (int dy = 0; dy < dot; ++dy) {
      for (int dx = 0; dx < dot; ++dx) pixel[dy * stride + dx] = index;
    }
  }
}

void ChartWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (m_image.isNull()) {
    painter.fillRect(event->rect(), Qt::black);
    return;
  }
  painter.drawImage(QPointF(0, 0), m_image);
}

}  // namespace ampelon
