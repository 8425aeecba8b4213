#pragma once

#include <cstddef>

namespace ampelon {

// When each line may be sent: one reading every `gapSeconds`, and never faster than the serial
// line carries them (`bytesPerSecond`, 1920 at 19200 baud with 10 bits a byte). Times are seconds
// on any steady clock.
//
// A line starts no earlier than the previous start plus the gap, no earlier than the previous
// line's bytes would have left the wire, and no earlier than it is offered. So lines sent in
// time never drift from the gap schedule, and a writer that falls behind never catches up in a
// burst faster than the line rate.
class Pacer {
 public:
  static constexpr double kSerialBytesPerSecond = 19200.0 / 10.0;

  // `gapSeconds` >= 0, `bytesPerSecond` > 0.
  explicit Pacer(double gapSeconds, double bytesPerSecond = kSerialBytesPerSecond);

  // The start time for a line of `bytes` bytes offered at `now`; the line counts as sent then.
  double StartTime(double now, std::size_t bytes);

 private:
  double m_gapSeconds;
  double m_bytesPerSecond;
  bool m_started = false;
  double m_nextDue = 0.0;   // the gap schedule's next slot
  double m_wireFree = 0.0;  // when the previous line's bytes have left the wire
};

}  // namespace ampelon
