#include "viewer/axis_ticks.h"

#include <algorithm>
#include <cmath>

namespace ampelon {

namespace {

// A tick this small a share of a step outside the axis still counts as on it, so that rounding in
// the last digits never decides the step.
constexpr double kTolerance = 1e-6;

// multiple x 10^exponent, rounded once: powers of ten up to 10^22 are exact doubles, and
// std::pow's are not always.
double Step(int multiple, int exponent) {
  double power = 1;
  for (int i = 0; i < std::abs(exponent); ++i) power *= 10;
  return exponent < 0 ? multiple / power : multiple * power;
}

}  // namespace

AxisTicks RoundTicks(double low, double high, int mostTicks) {
  if (!std::isfinite(low) || !std::isfinite(high) || !(high > low) || mostTicks < 2) return {};
  // Start from the power of ten just below the span's share per tick, then take the smallest of
  // 1, 2 and 5 times a power of ten that keeps the ticks within the number asked for.
  for (int exponent = static_cast<int>(std::floor(std::log10((high - low) / mostTicks)));;
       ++exponent) {
    for (const int multiple : {1, 2, 5}) {
      const double step = Step(multiple, exponent);
      const double first = std::ceil(low / step - kTolerance) * step;
      const auto count = static_cast<int>(std::floor((high - first) / step + kTolerance)) + 1;
      if (count <= mostTicks) {
        // 0 rather than -0, which would be written with its sign.
        return {first == 0 ? 0.0 : first, step, std::max(count, 0), std::max(0, -exponent)};
      }
    }
  }
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
