#include "chart/readouts.h"

#include <cmath>

#include "common/number_text.h"
#include "common/volts.h"

namespace ampelon {

std::string CurrentValueText(std::int16_t reading) {
  return NumberText(Volts(reading)).substr(0, 5) + "V [" + NumberText(reading) + "]";
}

std::string ChargeTimeText(double elapsedSeconds) {
  // 64 bits hold any difference of two times of day; the clamp only guards against garbage.
  const double clamped =
      std::isfinite(elapsedSeconds) ? std::fmin(std::fmax(elapsedSeconds, -1e15), 1e15) : 0.0;
  const auto seconds = static_cast<std::int64_t>(std::floor(clamped));
  const double minutes = std::floor(static_cast<double>(seconds) / 60);
  const double rest = static_cast<double>(seconds) - minutes * 60;
  return NumberText(static_cast<std::int64_t>(minutes)) + " min, " +
         NumberText(static_cast<std::int64_t>(rest)) + " sec";
}

}  // namespace ampelon
