#pragma once

namespace ampelon {

// The voltage of one NiMH cell charged at about 0.5 C, as a smooth function of time: a quick rise
// from 1.2 V, a long plateau climbing from about 1.38 V to 1.42 V, a steeper climb to the peak of
// 1.45 V, then the small fall (-dV) that tells a charger the cell is full.
class ChargeCurve {
 public:
  // Seconds from the start of the charge to the voltage peak, and to the end of the charge.
  static constexpr double kPeakSeconds = 9000.0;
  static constexpr double kEndSeconds = 9900.0;
  static constexpr double kPeakVolts = 1.45;
  // How far the voltage falls after the peak by the end of the charge.
  static constexpr double kDropVolts = 0.008;

  // Volts at `seconds` after the start; times outside 0..kEndSeconds give the nearest end.
  static double Volts(double seconds);

  // The converter count for `volts` (4095 = 2.5 V), rounded to nearest (ties to even) and held
  // within 0..4095.
  static int Counts(double volts);
};

}  // namespace ampelon
