#pragma once

namespace ampelon {

// The local time of day. Tests substitute a clock they can set.
class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since local midnight, with fractions, 0 <= value < 86400. Read afresh on each call.
  virtual float SecondsSinceMidnight() = 0;
};

}  // namespace ampelon
