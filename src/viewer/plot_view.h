#pragma once

#include <optional>

namespace ampelon {

// A stretch of one axis, in its own units (sample numbers, seconds or volts).
struct AxisRange {
  double low = 0;
  double high = 1;
  double Span() const { return high - low; }
};

// What part of the charge the plot shows: the x range, and the volts range once the user zoomed
// or panned it (until then the volts follow the data in view). Pure arithmetic, in axis units.
class PlotView {
 public:
  // Everything: the data's x extent, widened a little so that the first and last reading are
  // inside the plot. Volts follow the data again.
  void ShowAll(AxisRange data);
  bool ShowingAll() const { return m_showingAll; }
  AxisRange X() const { return m_x; }
  std::optional<AxisRange> Volts() const { return m_volts; }

  // Spans multiplied by `factor` (below 1 zooms in) with `at` kept where it is.
  void ZoomX(double at, double factor);
  void ZoomVolts(AxisRange shown, double at, double factor);
  // A dragged rectangle: the ranges given, in whichever order their ends came; a range not given
  // (or empty) stays as it is.
  void ZoomTo(std::optional<AxisRange> x, std::optional<AxisRange> volts);
  // Moves the view by dx and dv; moving the volts fixes them, starting from `shown`.
  void Pan(double dx, double dv, AxisRange shown);

  // The data's x extent grew from `before` to `after`: a view that showed everything still does,
  // and one that showed the newest reading moves along with it.
  void Grew(AxisRange before, AxisRange after);

 private:
  void SetX(AxisRange x);

  AxisRange m_data;
  AxisRange m_x;
  std::optional<AxisRange> m_volts;
  bool m_showingAll = true;
};

// The volts range that shows readings from `lowest` to `highest` with a little room around them.
AxisRange FittedVolts(double lowest, double highest);

}  // namespace ampelon
