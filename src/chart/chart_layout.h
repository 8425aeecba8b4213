#pragma once

#include <cstdint>

namespace ampelon {

// Window and chart geometry in twips.
inline constexpr float kMinimumWindowWidth = 7000.0f;
inline constexpr float kMinimumWindowHeight = 7000.0f;
inline constexpr float kChartWidthMargin = 1125.0f;
inline constexpr float kChartHeightMargin = 2415.0f;

// The distance between the axis labels: the chart height / 14, rounded half to even.
std::int32_t LabelSpacing(float chartHeightTwips);

// The top of axis label `labelIndex` (0 = bottom label .. 6 = top label): beside the odd grid
// lines, at chart top + m * spacing - 110 with m = 13 for the bottom label down to 1 for the top.
float AxisLabelTop(float chartTopTwips, std::int32_t spacing, int labelIndex);

}  // namespace ampelon
