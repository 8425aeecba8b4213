#include "chart/chart_layout.h"

#include <cmath>
#include <limits>

#include "common/rounding.h"

namespace ampelon {

std::int32_t LabelSpacing(float chartHeightTwips) {
  const double spacing = RoundHalfEven(static_cast<double>(chartHeightTwips) / 14);
  // A window the platform could not size leaves a nonsense height; keep the integer defined.
  if (!(spacing > std::numeric_limits<std::int32_t>::min())) return 0;
  if (spacing >= std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(spacing);
}

float AxisLabelTop(float chartTopTwips, std::int32_t spacing, int labelIndex) {
  const int m = 13 - 2 * labelIndex;
  return static_cast<float>(static_cast<double>(chartTopTwips) + m * static_cast<double>(spacing) -
                            110);
}

}  // namespace ampelon
