#include "chart/grid.h"

#include "chart/chart_canvas.h"

namespace ampelon {

void DrawGrid(ChartCanvas& canvas) {
  canvas.Clear();
  for (int i = 0; i <= 10; ++i) {
    const auto x = static_cast<float>(100 * i);
    canvas.DrawLine(x, 0.0f, x, 1000.0f, kGridColour);
  }
  for (int i = 0; i <= 14; ++i) {
    const auto y = static_cast<float>(i * 1000.0 / 14);
    canvas.DrawLine(0.0f, y, 1000.0f, y, kGridColour);
  }
  canvas.DrawLine(0.0f, 0.0f, 0.0f, 1000.0f, kAxisColour);
  canvas.DrawLine(0.0f, 0.0f, 1000.0f, 0.0f, kAxisColour);
}

}  // namespace ampelon
