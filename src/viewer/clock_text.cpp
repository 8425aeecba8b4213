#include "viewer/clock_text.h"

#include <algorithm>
#include <cmath>

namespace ampelon {
namespace {

// `value` with at least `digits` digits, zeros in front.
std::string Padded(long long value, int digits) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < digits) {
    text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
  }
  return text;
}

}  // namespace

std::string ClockText(double seconds, int decimals) {
  decimals = std::clamp(decimals, 0, 3);
  long long scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  // Whole units of the last place first, so that no part of the time is rounded up on its own.
  const long long units = std::llround(std::fabs(seconds) * static_cast<double>(scale));
  const long long whole = units / scale;
  const long long hours = whole / 3600;
  std::string text = units > 0 && seconds < 0 ? "-" : "";
  text += hours > 0 ? std::to_string(hours) + ":" + Padded(whole / 60 % 60, 2)
                    : std::to_string(whole / 60);
  // Appended a piece at a time: MinGW's GCC 12 takes "literal" + temporary for an overlapping
  // copy (-Wrestrict) and stops the Windows build.
  text += ':';
  text += Padded(whole % 60, 2);
  if (decimals > 0) {
    text += '.';
    text += Padded(units % scale, decimals);
  }
  return text;
}

}  // namespace ampelon
