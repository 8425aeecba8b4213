#include "ui/qt/twips.h"

#include <cmath>

namespace ampelon {

int Twips::ToPixels(double twips) const {
  // Geometry read from settings may be anything; keep the result a sane int.
  constexpr double kLimit = 1'000'000.0;
  const double pixels = std::round(twips * m_dpi / 1440.0);
  if (!(pixels > -kLimit)) return static_cast<int>(-kLimit);
  if (pixels > kLimit) return static_cast<int>(kLimit);
  return static_cast<int>(pixels);
}

float Twips::FromPixels(int pixels) const {
  return static_cast<float>(std::round(pixels * 1440.0 / m_dpi));
}

}  // namespace ampelon
