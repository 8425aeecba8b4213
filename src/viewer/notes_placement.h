#pragma once

#include <initializer_list>

#include "viewer/plot_frame.h"
#include "viewer/plot_series.h"

namespace ampelon {

// The top left corner, in logical pixels, of a box of notes `width` x `height` inside the plot
// area: in the corner where it hides least of the curves (top left, then top right, bottom
// left, bottom right when as good), judged in slices of its width by each curve's lowest and
// highest reading there. A few look-ups a slice, whatever the curves' length.
struct NotesCorner {
  double left = 0;
  double top = 0;
};
NotesCorner PlaceNotes(const PlotFrame& frame, double width, double height,
                       std::initializer_list<const PlotSeries*> series);

}  // namespace ampelon
