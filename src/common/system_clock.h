#pragma once

#include "common/clock.h"

namespace ampelon {

// The computer's local time of day.
class SystemClock final : public Clock {
 public:
  float SecondsSinceMidnight() override;
};

}  // namespace ampelon
