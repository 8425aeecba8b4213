#pragma once

#include "common/clock.h"

namespace ampelon {

// The computer's monotonic clock. Where the system offers it, the clock also counts the time
// the computer was suspended, since a charger goes on charging while the computer sleeps.
class SystemClock final : public Clock {
 public:
  double MonotonicSeconds() override;
};

}  // namespace ampelon
