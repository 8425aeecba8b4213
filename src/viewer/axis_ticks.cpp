#include "viewer/axis_ticks.h"

#include <algorithm>
#include <cmath>
#include <optional>

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

// The ticks `step` apart within [low, high], when there are at most `mostTicks` of them.
std::optional<AxisTicks> TicksOf(double low, double high, double step, int mostTicks,
                                 int decimals) {
  const double first = std::ceil(low / step - kTolerance) * step;
  const auto count = static_cast<int>(std::floor((high - first) / step + kTolerance)) + 1;
  if (count > mostTicks) return std::nullopt;
  // 0 rather than -0, which would be written with its sign.
  return AxisTicks{first == 0 ? 0.0 : first, step, std::max(count, 0), decimals};
}

constexpr double kPixelsPerXTick = 90;
constexpr double kSecondsPerDay = 86400;

}  // namespace

AxisTicks RoundTicks(double low, double high, int mostTicks) {
  if (!std::isfinite(low) || !std::isfinite(high) || !(high > low) || mostTicks < 2) return {};
  // Start from the power of ten just below the span's share per tick, then take the smallest of
  // 1, 2 and 5 times a power of ten that keeps the ticks within the number asked for.
  for (int exponent = static_cast<int>(std::floor(std::log10((high - low) / mostTicks)));;
       ++exponent) {
    for (const int multiple : {1, 2, 5}) {
      const std::optional<AxisTicks> ticks =
          TicksOf(low, high, Step(multiple, exponent), mostTicks, std::max(0, -exponent));
      if (ticks) return *ticks;
    }
  }
}

AxisTicks ClockTicks(double low, double high, int mostTicks) {
  const AxisTicks fine = RoundTicks(low, high, mostTicks);
  if (fine.count == 0 || fine.step < 1) return fine;
  for (const double step :
       {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200}) {
    if (const std::optional<AxisTicks> ticks = TicksOf(low, high, step, mostTicks, 0))
      return *ticks;
  }
  AxisTicks days = RoundTicks(low / kSecondsPerDay, high / kSecondsPerDay, mostTicks);
  days.first *= kSecondsPerDay;
  days.step *= kSecondsPerDay;
  days.decimals = 0;
  return days;
}

AxisTicks XAxisTicks(bool timeAxis, double low, double high, double widthPixels) {
  const int mostTicks = std::max(2, static_cast<int>(widthPixels / kPixelsPerXTick));
  if (timeAxis) return ClockTicks(low, high, mostTicks);
  // Sample numbers are whole: no step below one.
  AxisTicks ticks = RoundTicks(low, high, mostTicks);
  if (ticks.count > 0 && ticks.step < 1) {
    ticks.step = 1;
    ticks.decimals = 0;
    ticks.first = std::ceil(low);
    ticks.count = std::max(0, static_cast<int>(std::floor(high) - ticks.first) + 1);
  }
  return ticks;
}

}  // namespace ampelon
