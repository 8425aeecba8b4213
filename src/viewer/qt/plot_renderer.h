#pragma once

#include <optional>
#include <vector>

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

#include "viewer/column_trace.h"
#include "viewer/plot_frame.h"
#include "viewer/plot_series.h"
#include "viewer/plot_view.h"
#include "viewer/qt/overlay_painter.h"

namespace ampelon {

// A place on the curve that the plot marks: the cursor's reading or a marker.
struct PlotMark {
  double x = 0;
  double volts = 0;
  QColor colour;
  QString name;  // a marker's letter; empty for the cursor
};

// Everything one picture of the plot shows.
struct PlotScene {
  const PlotSeries* charge = nullptr;  // nothing: the empty text
  const PlotSeries* reference = nullptr;
  AxisRange x;
  AxisRange volts;
  QString emptyText;
  // The legend's names for the curves ("charge.log, 2026-05-01"); empty: "charge", "reference".
  // The charge's alone is shown only when given.
  QString chargeName;
  QString referenceName;
  std::vector<PlotMark> marks;
  QStringList notes;                // lines shown in the plot's top left corner
  std::optional<QRectF> selection;  // the rectangle being dragged, logical pixels
  // What the analysis found: marked readings, the chosen charge's stretch, and the slope curve
  // (counts of SlopeCurve) on an axis of its own at the right, showing `slopeRange` in mV/min.
  std::vector<PlotEvent> events;
  std::optional<PlotSpan> span;
  std::vector<PlotEvent> flags;  // the user's notes, at their readings
  const PlotSeries* slope = nullptr;
  AxisRange slopeRange;
};

// Draws the plot into an image: the curve by the project's own pixel writing from the series'
// min/max pyramids, the axes, grid and texts with QPainter on top.
class PlotRenderer {
 public:
  // Draws `scene` over the whole of `image` (RGB32, at its device pixel ratio). With `again`,
  // `image` holds this renderer's last picture untouched: only what that drew is erased, which
  // spares most of a large plot's pixels.
  void Render(const PlotScene& scene, QImage& image, bool again = false);

  static QColor ChargeColour();
  static QColor ReferenceColour();

 private:
  // What the last picture drew inside the plot area, in device pixels: rectangles, and for each
  // band of rows the columns that the curves reached.
  struct Drawn {
    QRect area;
    std::vector<QRect> rects;
    std::vector<int> bandLeft;
    std::vector<int> bandRight;
  };

  void Erase(QImage& image, const QRect& area, bool again);
  void DrawCurve(const PlotSeries& series, const PlotFrame& frame, QImage& image, QColor colour);
  // Notes a rectangle drawn by QPainter, in logical pixels, widened for antialiasing.
  void NoteDrawn(const QRectF& logical, qreal ratio);

  std::vector<ColumnSpan> m_spans;
  std::optional<Drawn> m_drawn;
};

}  // namespace ampelon
