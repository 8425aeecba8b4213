#pragma once

namespace ampelon {

// The slice of the voltage axis the chart shows, in volts, as single-precision values.
// Arithmetic on them is done in double precision and rounded to float where stored; comparisons
// compare floats with float constants.
struct VoltageWindow {
  float upperVolts = 0.0f;
  float lowerVolts = 0.0f;
  float rangeVolts = 0.0f;

  // The start window for a height: top at 1.3 V, bottom 1.3 V - height.
  static VoltageWindow AtStart(float rangeVolts);

  // Moves the window to a reading that has left it (only for readings above 0.2 V and below
  // 2.4 V): below the window, the bottom goes one 0.1 V step under the reading's step; then,
  // above the window, the top goes one step over it. Returns how many moves were made (0..2).
  int FollowReading(float volts);
};

}  // namespace ampelon
