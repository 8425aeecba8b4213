#include "common/system_clock.h"

#include <chrono>

namespace ampelon {

double SystemClock::MonotonicSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace ampelon
