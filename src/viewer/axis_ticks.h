#pragma once

namespace ampelon {

// Round tick positions for an axis: steps of 1, 2 or 5 times a power of ten.
struct AxisTicks {
  double first = 0;  // the lowest tick at or above the axis' low end
  double step = 1;
  int count = 0;     // ticks from `first` on that lie within the axis
  int decimals = 0;  // decimal places that write every tick exactly
};

// Ticks for [low, high] with at most `mostTicks` of them (at least 2 asked for); no ticks when the
// range is empty or not finite.
AxisTicks RoundTicks(double low, double high, int mostTicks);

}  // namespace ampelon
