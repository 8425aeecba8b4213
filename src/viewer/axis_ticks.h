#pragma once

namespace ampelon {

// Round tick positions for an axis: steps of 1, 2 or 5 times a power of ten.
struct AxisTicks {
  double first = 0;  // the lowest tick at or above the axis' low end
  double step = 1;
  int count = 0;     // ticks first, first + step, ... that lie within the axis
  int decimals = 0;  // decimal places that write every tick exactly
};

// Ticks for [low, high], at most `mostTicks` of them and as many as that allows; none when the
// range is empty or not finite, or fewer than 2 ticks are asked for.
AxisTicks RoundTicks(double low, double high, int mostTicks);

// The unit a time axis is written in: seconds for spans up to two minutes, minutes up to two
// hours, hours beyond.
enum class TimeUnit { kSeconds, kMinutes, kHours };
TimeUnit TimeUnitFor(double spanSeconds);
double SecondsPer(TimeUnit unit);

}  // namespace ampelon
