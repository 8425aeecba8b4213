#include "viewer/axis_ticks.h"

#include <algorithm>
#include <cmath>

namespace ampelon {

AxisTicks RoundTicks(double low, double high, int mostTicks) {
  if (!std::isfinite(low) || !std::isfinite(high) || !(high > low) || mostTicks < 2) return {};
  const double span = high - low;
  // Start from the power of ten just below the span's share per tick, then take the smallest of
  // 1, 2, 5 and 10 times it that keeps the ticks within the number asked for.
  int exponent = static_cast<int>(std::floor(std::log10(span / mostTicks)));
  AxisTicks ticks;
  for (;; ++exponent) {
    const double power = std::pow(10.0, exponent);
    bool found = false;
    for (const int multiple : {1, 2, 5}) {
      const double step = multiple * power;
      const double first = std::ceil(low / step) * step;
      const auto count = static_cast<int>(std::floor((high - first) / step + 1e-9)) + 1;
      if (count <= mostTicks) {
        ticks = {first, step, std::max(count, 0), std::max(0, -exponent)};
        found = true;
        break;
      }
    }
    if (found) break;
  }
  // -0 would be written with its sign.
  if (ticks.first == 0) ticks.first = 0;
  return ticks;
}

TimeUnit TimeUnitFor(double spanSeconds) {
  if (spanSeconds <= 120) return TimeUnit::kSeconds;
  if (spanSeconds <= 7200) return TimeUnit::kMinutes;
  return TimeUnit::kHours;
}

double SecondsPer(TimeUnit unit) {
  switch (unit) {
    case TimeUnit::kMinutes:
      return 60;
    case TimeUnit::kHours:
      return 3600;
    case TimeUnit::kSeconds:
      break;
  }
  return 1;
}

}  // namespace ampelon
