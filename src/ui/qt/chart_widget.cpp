#include "ui/qt/chart_widget.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include <QPaintEvent>
#include <QPainter>

namespace ampelon {
namespace {

QRgb ToRgb(Colour colour) { return qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour)); }

constexpr QRgb kBackground = qRgb(0, 0, 0);

// RGB32 is what the window system's backing store holds (X11 keeps the same pixels as
// ARGB32_Premultiplied, opaque), so painting copies rows without converting a pixel.
constexpr QImage::Format kImageFormat = QImage::Format_RGB32;

// More lines than a grid has between two clears: past them, a clear rewrites every pixel.
constexpr std::size_t kMostLinesRemembered = 64;

// Tiles of 64 x 16 pixels: marking one is a single store per dot, and a curve across a large
// chart touches few of them.
constexpr int kTileWidthShift = 6;
constexpr int kTileHeightShift = 4;

// FNV-1a's steps over whole values: order matters, and any change of a value shows.
constexpr std::uint64_t kEmptyFingerprint = 0xcbf29ce484222325;
constexpr std::uint64_t kFingerprintPrime = 0x100000001b3;
std::uint64_t Mixed(std::uint64_t fingerprint, std::uint64_t value) {
  return (fingerprint ^ value) * kFingerprintPrime;
}

// The image's pixels and the distance between its rows, both in 32-bit pixels.
QRgb* Pixels(QImage& image) { return reinterpret_cast<QRgb*>(image.bits()); }
std::ptrdiff_t Stride(const QImage& image) {
  return static_cast<std::ptrdiff_t>(image.bytesPerLine() / sizeof(QRgb));
}

}  // namespace

ChartWidget::ChartWidget(const Twips& twips, QWidget* parent) : QWidget(parent), m_twips(twips) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  m_drawnLines.reserve(kMostLinesRemembered);
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
    m_image = QImage(pixels, kImageFormat);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(kBackground);
    m_dotSize = std::max(1, static_cast<int>(std::lround(ratio)));
    ForgetDrawn();
    m_imageReplaced = true;
    RepaintWhenDrawn();
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

void ChartWidget::Clear() {
  EnsureImage();
  EraseDrawn();
  RepaintWhenDrawn();
}

void ChartWidget::EraseDrawn() {
  if (m_drawnLinesOverflowed) {
    m_image.fill(kBackground);
  } else {
    for (const QRect& line : m_drawnLines) {
      FillRect(line.left(), line.top(), line.right() + 1, line.bottom() + 1, kBackground);
    }
    // Each run of dotted tiles in a row of tiles is erased as one rectangle, reaching the
    // m_dotSize - 1 pixels that a dot may cover past the tile of its top left pixel.
    const int reach = m_dotSize - 1;
    const std::uint8_t* tiles = m_dottedTiles.data();
    const int tileRows = static_cast<int>(m_dottedTiles.size()) / std::max(m_tileColumns, 1);
    for (int tileRow = 0; tileRow < tileRows; ++tileRow, tiles += m_tileColumns) {
      for (int first = 0; first < m_tileColumns; ++first) {
        if (tiles[first] == 0) continue;
        int end = first + 1;
        while (end < m_tileColumns && tiles[end] != 0) ++end;
        FillRect(first << kTileWidthShift, tileRow << kTileHeightShift,
                 (end << kTileWidthShift) + reach, ((tileRow + 1) << kTileHeightShift) + reach,
                 kBackground);
        first = end;
      }
    }
  }
  ForgetDrawn();
}

void ChartWidget::ForgetDrawn() {
  m_drawnFingerprint = kEmptyFingerprint;
  m_drawnLines.clear();
  m_drawnLinesOverflowed = false;
  m_tileColumns = ((m_image.width() - 1) >> kTileWidthShift) + 1;
  const int tileRows = ((m_image.height() - 1) >> kTileHeightShift) + 1;
  m_dottedTiles.assign(static_cast<std::size_t>(m_tileColumns * tileRows), 0);
}

void ChartWidget::FillRect(int left, int top, int right, int bottom, QRgb pixel) {
  right = std::min(right, m_image.width());
  bottom = std::min(bottom, m_image.height());
  QRgb* pixels = Pixels(m_image);
  const std::ptrdiff_t stride = Stride(m_image);
  for (int row = top; row < bottom; ++row) {
    std::fill(pixels + row * stride + left, pixels + row * stride + right, pixel);
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
  FillRect(left, top, right + m_dotSize, bottom + m_dotSize, ToRgb(colour));
  if (m_drawnLines.size() < kMostLinesRemembered) {
    m_drawnLines.emplace_back(QPoint(left, top),
                              QPoint(right + m_dotSize - 1, bottom + m_dotSize - 1));
  } else {
    m_drawnLinesOverflowed = true;
  }
  Fingerprint((static_cast<std::uint64_t>(left) << 32) | static_cast<std::uint32_t>(top));
  Fingerprint((static_cast<std::uint64_t>(right) << 32) | static_cast<std::uint32_t>(bottom));
  Fingerprint(colour);
  RepaintWhenDrawn();
}

void ChartWidget::DrawPoints(std::span<const ChartPoint> points, Colour colour) {
  EnsureImage();
  if (m_image.isNull()) return;
  switch (m_dotSize) {
    case 1:
      PlotDots<1>(points, ToRgb(colour));
      break;
    case 2:
      PlotDots<2>(points, ToRgb(colour));
      break;
    default:
      PlotDots<0>(points, ToRgb(colour));
      break;
  }
  Fingerprint(colour);
  RepaintWhenDrawn();
}

void ChartWidget::Fingerprint(std::uint64_t value) {
  m_drawnFingerprint = Mixed(m_drawnFingerprint, value);
}

void ChartWidget::RepaintWhenDrawn() {
  if (m_repaintPending) return;
  m_repaintPending = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        m_repaintPending = false;
        if (!m_imageReplaced && m_drawnFingerprint == m_shownFingerprint) return;
        m_imageReplaced = false;
        m_shownFingerprint = m_drawnFingerprint;
        update();
      },
      Qt::QueuedConnection);
}

template <int kFixedDot>
void ChartWidget::PlotDots(std::span<const ChartPoint> points, QRgb pixel) {
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
  QRgb* pixels = Pixels(m_image);
  const std::ptrdiff_t stride = Stride(m_image);
  std::uint8_t* tiles = m_dottedTiles.data();
  const int tileColumns = m_tileColumns;
  std::uint64_t fingerprint = m_drawnFingerprint;
  for (const ChartPoint& point : points) {
    const float x = (point.x - left) * scaleX;
    const float y = (point.y - top) * scaleY;
    if (!(x >= 0.0f && x < width && y >= 0.0f && y < height)) continue;
    // A dot that starts in the last pixels is pulled in rather than cut off.
    const int column = std::min(static_cast<int>(x), lastColumn);
    const int row = std::min(static_cast<int>(y), lastRow);
    QRgb* corner = pixels + row * stride + column;
    for (int dy = 0; dy < dot; ++dy) {
      for (int dx = 0; dx < dot; ++dx) corner[dy * stride + dx] = pixel;
    }
    tiles[(row >> kTileHeightShift) * tileColumns + (column >> kTileWidthShift)] = 1;
    fingerprint = Mixed(fingerprint, static_cast<std::uint64_t>(corner - pixels));
  }
  m_drawnFingerprint = fingerprint;
}

void ChartWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (m_image.isNull()) {
    painter.fillRect(event->rect(), Qt::black);
    return;
  }
  // The painter is clipped to the region being repainted (an update or an uncovered part), so
  // only that part of the image is copied.
  painter.drawImage(QPointF(0, 0), m_image);
}

}  // namespace ampelon
