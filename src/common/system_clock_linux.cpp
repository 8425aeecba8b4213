#include "common/system_clock.h"

#include <time.h>

namespace ampelon {

double SystemClock::MonotonicSeconds() {
  // CLOCK_MONOTONIC stops while the computer is suspended; CLOCK_BOOTTIME goes on counting. It
  // has been in every kernel since 2.6.39 and cannot fail for a valid clock id.
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace ampelon
