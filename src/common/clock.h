#pragma once

namespace ampelon {

// The time that measures a charge. Tests substitute a clock they can set.
class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds from an arbitrary starting point, with fractions. Never goes back and is not moved by
  // changes of the time of day (daylight saving, a clock set by hand or by the network), so the
  // difference of two reads is the time that passed between them, however long.
  virtual double MonotonicSeconds() = 0;
};

}  // namespace ampelon
