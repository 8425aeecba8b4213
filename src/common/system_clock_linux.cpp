#include "common/system_clock.h"

#include <time.h>

#include <chrono>

namespace ampelon {

double SystemClock::MonotonicSeconds() {
  // CLOCK_MONOTONIC stops while the computer is suspended; CLOCK_BOOTTIME goes on counting.
  timespec now{};
  if (clock_gettime(CLOCK_BOOTTIME, &now) == 0) {
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
  }
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace ampelon
