#pragma once

namespace ampelon {

class ChartCanvas;

// Clears the chart and draws 11 vertical and 15 horizontal grey grid lines over 0..1000 in both
// directions, then the two axes in dark blue over the left and bottom grid lines.
void DrawGrid(ChartCanvas& canvas);

}  // namespace ampelon
