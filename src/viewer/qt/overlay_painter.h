#pragma once

#include <optional>
#include <vector>

#include <QColor>
#include <QRectF>
#include <QString>

#include "viewer/plot_frame.h"

class QPainter;

namespace ampelon {

// A reading the analysis marks on the plot, at its place on the axes.
struct PlotEvent {
  double x = 0;
  double volts = 0;
  QString label;
  bool end = false;  // the end found (labelled below it); else the peak (above)
};

// The stretch of the chosen charge of several, on the x axis.
struct PlotSpan {
  AxisRange x;
  QString label;
};

QColor SlopeColour();

// Draws the events and the span inside `frame` (the painter clipped to it); gives what it drew,
// in logical pixels, so that the next picture can erase it.
std::vector<QRectF> PaintEvents(QPainter& painter, const PlotFrame& frame,
                                const std::vector<PlotEvent>& events,
                                const std::optional<PlotSpan>& span);

// A flag on a pole above each of `flags` (a note pinned to a reading) with its text beside,
// inside `frame`; gives what it drew, in logical pixels.
std::vector<QRectF> PaintFlags(QPainter& painter, const PlotFrame& frame,
                               const std::vector<PlotEvent>& flags);

// The slope axis at the right of `frame`: ticks and labels in millivolts a minute for `slope`,
// and its title. Outside the plot area.
void PaintSlopeAxis(QPainter& painter, const PlotFrame& frame, AxisRange slope);

}  // namespace ampelon
