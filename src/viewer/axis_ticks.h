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

// Ticks for times in seconds, written as a clock (ClockText): steps of 1, 2, 5, 10, 15 or 30
// seconds or minutes, of 1, 2, 3, 6 or 12 hours, or whole days; below a second those of
// RoundTicks, whose decimals then give the seconds' places.
AxisTicks ClockTicks(double low, double high, int mostTicks);

// The ticks of a plot's x axis `widthPixels` wide, one label every 90 pixels at most: whole
// sample numbers, or clock times on a time axis. Read-outs write times with their decimals.
AxisTicks XAxisTicks(bool timeAxis, double low, double high, double widthPixels);

}  // namespace ampelon
