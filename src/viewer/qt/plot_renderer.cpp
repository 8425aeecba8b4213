#include "viewer/qt/plot_renderer.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include "viewer/axis_ticks.h"
#include "viewer/notes_placement.h"
#include "viewer/pixel_image.h"
#include "viewer/qt/readout_text.h"
#include "viewer/slope_curve.h"

namespace ampelon {
namespace {

constexpr QRgb kBackground = qRgb(0, 0, 0);
constexpr QRgb kGrid = qRgb(48, 48, 48);
constexpr QRgb kFrame = qRgb(112, 112, 112);
const QColor kText(200, 200, 200);

// The plot area's rows are grouped in bands of 16 for erasing what the curves drew.
constexpr int kBandShift = 4;

// A volts label every 36 logical pixels up at most.
constexpr double kPixelsPerVoltsTick = 36;

PixelImage PixelsOf(QImage& image) {
  return {reinterpret_cast<std::uint32_t*>(image.bits()),
          static_cast<std::ptrdiff_t>(image.bytesPerLine() / sizeof(std::uint32_t)), image.width(),
          image.height()};
}

// The plot area in device pixels, on whole pixels so that lines stay sharp at any ratio.
struct DeviceArea {
  int left;
  int top;
  int width;
  int height;
  ColumnMapping columns;
  RowMapping rows;
};

DeviceArea DeviceAreaOf(const PlotFrame& frame, qreal ratio) {
  DeviceArea area{};
  area.left = static_cast<int>(std::lround(frame.left * ratio));
  area.top = static_cast<int>(std::lround(frame.top * ratio));
  area.width = std::max(1, static_cast<int>(std::lround(frame.width * ratio)));
  area.height = std::max(1, static_cast<int>(std::lround(frame.height * ratio)));
  area.columns = {frame.x.low, area.width / frame.x.Span(), area.width};
  area.rows = {frame.volts.high, area.height / frame.volts.Span(), area.height};
  return area;
}

// An x tick's label: a sample number, or a time as every read-out writes it.
QString XLabel(const QLocale& locale, XAxis axis, double value, int decimals) {
  if (axis == XAxis::kSampleNumber) return locale.toString(value, 'f', decimals);
  return TimeText(locale, value, decimals);
}

// The curves' names above the plot area's right end, the charge's first: file names where the
// scene has them, each cut in the middle to share the room.
void DrawLegend(QPainter& painter, const PlotScene& scene, const PlotFrame& frame) {
  if (scene.reference == nullptr && scene.chargeName.isEmpty()) return;
  const QFontMetricsF metrics(painter.font());
  struct Entry {
    QString text;
    QColor colour;
  };
  std::vector<Entry> entries = {
      {scene.chargeName.isEmpty() ? QStringLiteral("charge") : scene.chargeName,
       PlotRenderer::ChargeColour()}};
  if (scene.reference != nullptr) {
    entries.push_back(
        {scene.referenceName.isEmpty() ? QStringLiteral("reference") : scene.referenceName,
         PlotRenderer::ReferenceColour()});
  }
  constexpr double kSwatch = 14;  // the colour's bar and the room after it
  constexpr double kGap = 16;
  const double each =
      std::max(40.0, frame.width / static_cast<double>(entries.size()) - kSwatch - kGap);
  double x = frame.left + frame.width;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    const QString text = metrics.elidedText(entry->text, Qt::ElideMiddle, each);
    x -= metrics.horizontalAdvance(text) + kSwatch;
    painter.fillRect(QRectF(x, 9, 10, 4), entry->colour);
    painter.drawText(QRectF(x + kSwatch, 0, each + 4, 22), Qt::AlignLeft | Qt::AlignVCenter, text);
    x -= kGap;
  }
}

}  // namespace

QColor PlotRenderer::ChargeColour() { return QColor(192, 255, 192); }
QColor PlotRenderer::ReferenceColour() { return QColor(255, 150, 60); }

void PlotRenderer::Erase(QImage& image, const QRect& area, bool again) {
  const PixelImage pixels = PixelsOf(image);
  if (!again || !m_drawn || m_drawn->area != area) {
    FillRect(pixels, 0, 0, pixels.width, pixels.height, kBackground);
  } else {
    // Everything outside the plot area, then inside it what the last picture drew there.
    const int right = area.left() + area.width();
    const int bottom = area.top() + area.height();
    FillRect(pixels, 0, 0, pixels.width, area.top(), kBackground);
    FillRect(pixels, 0, bottom, pixels.width, pixels.height, kBackground);
    FillRect(pixels, 0, area.top(), area.left(), bottom, kBackground);
    FillRect(pixels, right, area.top(), pixels.width, bottom, kBackground);
    for (const QRect& rect : m_drawn->rects) {
      FillRect(pixels, rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1, kBackground);
    }
    for (std::size_t band = 0; band < m_drawn->bandLeft.size(); ++band) {
      if (m_drawn->bandLeft[band] > m_drawn->bandRight[band]) continue;
      const int top = area.top() + static_cast<int>(band << kBandShift);
      FillRect(pixels, m_drawn->bandLeft[band], top, m_drawn->bandRight[band] + 1,
               std::min(top + (1 << kBandShift), bottom), kBackground);
    }
  }
  Drawn drawn;
  drawn.area = area;
  const std::size_t bands = static_cast<std::size_t>((area.height() >> kBandShift) + 1);
  drawn.bandLeft.assign(bands, INT_MAX);
  drawn.bandRight.assign(bands, INT_MIN);
  m_drawn = std::move(drawn);
}

void PlotRenderer::NoteDrawn(const QRectF& logical, qreal ratio) {
  if (!m_drawn) return;
  const QRectF device(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio,
                      logical.height() * ratio);
  const qreal reach = 3 * ratio;
  const QRect rect = device.adjusted(-reach, -reach, reach, reach).toAlignedRect() & m_drawn->area;
  if (!rect.isEmpty()) m_drawn->rects.push_back(rect);
}

void PlotRenderer::DrawCurve(const PlotSeries& series, const PlotFrame& frame, QImage& image,
                             QColor colour) {
  const DeviceArea area = DeviceAreaOf(frame, image.devicePixelRatio());
  m_spans.resize(static_cast<std::size_t>(area.width));
  // With fewer points than columns, walking them is the cheaper way to the same spans.
  if (series.Size() < static_cast<std::size_t>(area.width)) {
    TraceEveryPoint(series, area.columns, area.rows, m_spans);
  } else {
    TraceColumns(series, area.columns, area.rows, m_spans);
  }
  const int thickness = std::max(1, static_cast<int>(std::lround(image.devicePixelRatio())));
  DrawSpans(PixelsOf(image), m_spans, area.left, area.top, area.top + area.height, thickness,
            colour.rgb());
  if (!m_drawn) return;
  std::vector<int>& bandLeft = m_drawn->bandLeft;
  std::vector<int>& bandRight = m_drawn->bandRight;
  const int lastRow = area.height - 1;
  for (std::size_t index = 0; index < m_spans.size(); ++index) {
    const ColumnSpan& span = m_spans[index];
    if (span.top > span.bottom) continue;
    const int column = area.left + static_cast<int>(index);
    const auto first = static_cast<std::size_t>(span.top >> kBandShift);
    const auto last =
        static_cast<std::size_t>(std::min(span.bottom + thickness - 1, lastRow) >> kBandShift);
    for (std::size_t band = first; band <= last; ++band) {
      bandLeft[band] = std::min(bandLeft[band], column);
      bandRight[band] = std::max(bandRight[band], column + thickness - 1);
    }
  }
}

void PlotRenderer::Render(const PlotScene& scene, QImage& image, bool again) {
  const PixelImage pixels = PixelsOf(image);
  const qreal ratio = image.devicePixelRatio();
  const QSizeF size = image.deviceIndependentSize();
  if (scene.charge == nullptr || !(scene.x.Span() > 0) || !(scene.volts.Span() > 0)) {
    FillRect(pixels, 0, 0, pixels.width, pixels.height, kBackground);
    m_drawn.reset();
    QPainter painter(&image);
    painter.setPen(kText);
    painter.drawText(QRectF(QPointF(0, 0), size).adjusted(20, 20, -20, -20),
                     Qt::AlignCenter | Qt::TextWordWrap, scene.emptyText);
    return;
  }
  const PlotFrame frame =
      FrameFor(size.width(), size.height(), scene.x, scene.volts, scene.slope != nullptr);
  const DeviceArea area = DeviceAreaOf(frame, ratio);
  Erase(image, QRect(area.left, area.top, area.width, area.height), again);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setPen(kText);
  const int line = std::max(1, static_cast<int>(std::lround(ratio)));
  const QLocale locale;
  const QFontMetricsF metrics(painter.font());

  // Grid and labels, volts first.
  const AxisTicks voltsTicks =
      RoundTicks(scene.volts.low, scene.volts.high,
                 std::max(2, static_cast<int>(frame.height / kPixelsPerVoltsTick)));
  for (int i = 0; i < voltsTicks.count; ++i) {
    const double volts = voltsTicks.first + i * voltsTicks.step;
    const int row = area.rows.Row(volts);
    if (row < 0 || row >= area.height) continue;
    FillRect(pixels, area.left, area.top + row, area.left + area.width, area.top + row + line,
             kGrid);
    m_drawn->rects.emplace_back(area.left, area.top + row, area.width, line);
    const double y = (area.top + row) / ratio;
    painter.drawText(QRectF(0, y - 10, frame.left - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
                     locale.toString(volts, 'f', voltsTicks.decimals));
  }
  const XAxis axis = scene.charge->Axis();
  const AxisTicks xTicks = XAxisTicks(axis == XAxis::kTime, scene.x.low, scene.x.high, frame.width);
  const double bottom = frame.top + frame.height;
  for (int i = 0; i < xTicks.count; ++i) {
    const double value = xTicks.first + i * xTicks.step;
    const int column = area.columns.Column(value);
    if (column < 0 || column >= area.width) continue;
    FillRect(pixels, area.left + column, area.top, area.left + column + line,
             area.top + area.height, kGrid);
    m_drawn->rects.emplace_back(area.left + column, area.top, line, area.height);
    const double x = (area.left + column) / ratio;
    // Centred under its line, but kept inside the picture.
    const QString text = XLabel(locale, axis, value, xTicks.decimals);
    const double textWidth = metrics.horizontalAdvance(text);
    const double textLeft = std::min(x - textWidth / 2, size.width() - textWidth - 2);
    painter.drawText(QRectF(textLeft, bottom + 3, textWidth + 2, 18), Qt::AlignLeft | Qt::AlignTop,
                     text);
  }
  painter.drawText(QRectF(frame.left, bottom + 20, frame.width, 18), Qt::AlignRight | Qt::AlignTop,
                   axis == XAxis::kTime ? QStringLiteral("Time") : QStringLiteral("Sample"));
  painter.drawText(QRectF(0, 2, frame.left - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("V"));

  // The curves, the reference behind.
  if (scene.reference != nullptr) DrawCurve(*scene.reference, frame, image, ReferenceColour());
  if (scene.slope != nullptr) {
    // Its counts are traced as volts would be, on rows of the slope axis.
    PlotFrame slopeFrame = frame;
    slopeFrame.volts = {SlopeCurve::TracedVolts(scene.slopeRange.low),
                        SlopeCurve::TracedVolts(scene.slopeRange.high)};
    DrawCurve(*scene.slope, slopeFrame, image, SlopeColour());
    PaintSlopeAxis(painter, frame, scene.slopeRange);
    painter.setPen(kText);
  }
  DrawCurve(*scene.charge, frame, image, ChargeColour());
  FillRect(pixels, area.left - line, area.top - line, area.left + area.width + line, area.top,
           kFrame);
  FillRect(pixels, area.left - line, area.top + area.height, area.left + area.width + line,
           area.top + area.height + line, kFrame);
  FillRect(pixels, area.left - line, area.top, area.left, area.top + area.height, kFrame);
  FillRect(pixels, area.left + area.width, area.top, area.left + area.width + line,
           area.top + area.height, kFrame);

  DrawLegend(painter, scene, frame);

  // Marks, clipped to the plot area.
  painter.setClipRect(QRectF(frame.left, frame.top, frame.width, frame.height));
  for (const PlotMark& mark : scene.marks) {
    const double x = frame.PixelX(mark.x);
    const double y = frame.PixelY(mark.volts);
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    NoteDrawn(mark.name.isEmpty() ? QRectF(x - 8, y - 8, 16, 16)
                                  : QRectF(x - 4, frame.top, 40, frame.height),
              ratio);
    if (mark.name.isEmpty()) {
      painter.setPen(QPen(mark.colour, 1.5));
      painter.setRenderHint(QPainter::Antialiasing);
      painter.drawEllipse(QPointF(x, y), 5.0, 5.0);
      painter.setRenderHint(QPainter::Antialiasing, false);
    } else {
      painter.setPen(QPen(mark.colour, 1, Qt::DashLine));
      painter.drawLine(QPointF(x, frame.top), QPointF(x, bottom));
      painter.fillRect(QRectF(x - 3, y - 3, 7, 7), mark.colour);
      painter.setPen(mark.colour);
      painter.drawText(QRectF(x + 4, frame.top + 2, 30, 18), Qt::AlignLeft | Qt::AlignTop,
                       mark.name);
    }
  }
  for (const QRectF& drawn : PaintEvents(painter, frame, scene.events, scene.span)) {
    NoteDrawn(drawn, ratio);
  }
  for (const QRectF& drawn : PaintFlags(painter, frame, scene.flags)) NoteDrawn(drawn, ratio);
  if (!scene.notes.isEmpty()) {
    const QString text = scene.notes.join(QLatin1Char('\n'));
    const QRectF box = metrics.boundingRect(QRectF(0, 0, frame.width - 16, frame.height - 16),
                                            Qt::AlignLeft | Qt::AlignTop, text);
    // Where it hides least of the curves.
    const NotesCorner corner =
        PlaceNotes(frame, box.width() + 12, box.height() + 8, {scene.charge, scene.reference});
    const QRectF placed(corner.left, corner.top, box.width() + 12, box.height() + 8);
    NoteDrawn(placed, ratio);
    painter.fillRect(placed, QColor(0, 0, 0, 200));
    painter.setPen(QPen(kText, 1));
    painter.drawRect(placed);
    painter.drawText(placed.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop, text);
  }
  if (scene.selection) {
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.setBrush(QColor(255, 255, 255, 40));
    painter.drawRect(scene.selection->normalized());
    NoteDrawn(scene.selection->normalized(), ratio);
  }
}

}  // namespace ampelon
