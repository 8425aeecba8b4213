#include "viewer/clock_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ampelon {

std::string ClockText(double seconds, int decimals) {
  decimals = std::clamp(decimals, 0, 3);
  long long scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  // Whole units of the last place first, so that no part of the time is rounded up on its own.
  const auto units = static_cast<long long>(std::llround(std::fabs(seconds) * scale));
  const long long whole = units / scale;
  const long long hours = whole / 3600;
  const long long minutes = whole / 60 % 60;
  char text[64];
  int length =
      hours > 0 ? std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, minutes, whole % 60)
                : std::snprintf(text, sizeof text, "%lld:%02lld", minutes, whole % 60);
  if (decimals > 0) {
    length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                            ".%0*lld", decimals, units % scale);
  }
  return (units > 0 && seconds < 0 ? "-" : "") +
         std::string(text, static_cast<std::size_t>(length));
}

}  // namespace ampelon
