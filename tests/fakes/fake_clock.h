#pragma once

#include "common/clock.h"

namespace ampelon::testing {

// A time of day the test sets; every read returns the current setting.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(float secondsSinceMidnight = 0.0f) : m_seconds(secondsSinceMidnight) {}
  void Set(float secondsSinceMidnight) { m_seconds = secondsSinceMidnight; }
  float SecondsSinceMidnight() override {
    ++m_reads;
    return m_seconds;
  }
  int Reads() const { return m_reads; }

 private:
  float m_seconds;
  int m_reads = 0;
};

}  // namespace ampelon::testing
