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
  std::vector<PlotMark> marks;
  QStringList notes;                // lines shown in the plot's top left corner
  std::optional<QRectF> selection;  // the rectangle being dragged, logical pixels
};

// Draws the plot into an image: the curve by the project's own pixel writing from the series'
// min/max pyramids, the axes, grid and texts with QPainter on top.
class PlotRenderer {
 public:
  // Draws `scene` over the whole of `image` (RGB32, at its device pixel ratio). Keeps its
  // buffers from one call to the next.
  void Render(const PlotScene& scene, QImage& image);

  static QColor ChargeColour();
  static QColor ReferenceColour();

 private:
  void DrawCurve(const PlotSeries& series, const PlotFrame& frame, QImage& image, QColor colour);

  std::vector<ColumnSpan> m_spans;
};

}  // namespace ampelon
