#include "viewer/notes_placement.h"

#include <algorithm>
#include <array>

#include "common/volts.h"

namespace ampelon {
namespace {

// Room between the box and the plot area's edges; more at the top, where the markers' letters
// stand.
constexpr double kMargin = 6;
constexpr double kTopMargin = 22;
constexpr int kSlices = 8;

// How many slices of the box (per curve) a curve passes through.
int Hidden(const PlotFrame& frame, const NotesCorner& box, double width, double height,
           std::initializer_list<const PlotSeries*> series) {
  int hidden = 0;
  for (int slice = 0; slice < kSlices; ++slice) {
    const double low = frame.XAt(box.left + width * slice / kSlices);
    const double high = frame.XAt(box.left + width * (slice + 1) / kSlices);
    for (const PlotSeries* one : series) {
      if (one == nullptr) continue;
      // Only the points within the slice: the line to a point beyond it is not looked at.
      const auto [first, last] = one->PointsBetween(low, high);
      if (first == last) continue;
      const std::optional<CountRange> counts = one->CountsBetween(low, high);
      if (!counts) continue;
      const double top = frame.PixelY(Volts(counts->highest));
      const double bottom = frame.PixelY(Volts(counts->lowest));
      if (bottom >= box.top && top <= box.top + height) ++hidden;
    }
  }
  return hidden;
}

}  // namespace

NotesCorner PlaceNotes(const PlotFrame& frame, double width, double height,
                       std::initializer_list<const PlotSeries*> series) {
  const double left = frame.left + kMargin;
  const double right = std::max(left, frame.left + frame.width - kMargin - width);
  const double top = frame.top + kTopMargin;
  const double bottom = std::max(top, frame.top + frame.height - kMargin - height);
  const std::array<NotesCorner, 4> corners = {NotesCorner{left, top}, NotesCorner{right, top},
                                              NotesCorner{left, bottom},
                                              NotesCorner{right, bottom}};
  NotesCorner best = corners[0];
  int bestHidden = -1;
  for (const NotesCorner& corner : corners) {
    const int hidden = Hidden(frame, corner, width, height, series);
    if (bestHidden < 0 || hidden < bestHidden) {
      best = corner;
      bestHidden = hidden;
    }
    if (bestHidden == 0) break;
  }
  return best;
}

}  // namespace ampelon
