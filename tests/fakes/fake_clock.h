#pragma once

#include "common/clock.h"

namespace ampelon::testing {

// A monotonic time the test sets; every read returns the current setting.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(double seconds = 0.0) : m_seconds(seconds) {}
  void Set(double seconds) { m_seconds = seconds; }
  void Advance(double seconds) { m_seconds += seconds; }
  double MonotonicSeconds() override {
    ++m_reads;
    return m_seconds;
  }
  int Reads() const { return m_reads; }

 private:
  double m_seconds;
  int m_reads = 0;
};

}  // namespace ampelon::testing
