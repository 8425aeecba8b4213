#pragma once

#include <span>

#include "common/colour.h"

namespace ampelon {

// A point in chart units.
struct ChartPoint {
  float x = 0.0f;
  float y = 0.0f;
};

// The coordinate system of the picture area: the left and top edges and the signed width and
// height, in chart units. A negative height makes y grow upwards.
struct ChartUnits {
  float left = -1.0f;
  float top = 1000.0f;
  float width = 1003.0f;
  float height = -1003.0f;
};

// The picture area the chart is drawn in. Sizes and positions are in twips; drawing is in chart
// units. Drawing outside the area is clipped; non-finite coordinates draw nothing.
class ChartCanvas {
 public:
  virtual ~ChartCanvas() = default;

  virtual void SetSize(float widthTwips, float heightTwips) = 0;
  virtual float WidthTwips() const = 0;
  virtual float HeightTwips() const = 0;
  virtual float TopTwips() const = 0;
  virtual void SetChartUnits(const ChartUnits& units) = 0;

  // Erases everything to the background colour.
  virtual void Clear() = 0;
  // A one-pixel horizontal or vertical line from (x1, y1) to (x2, y2), as the grid needs; any
  // other line draws nothing.
  virtual void DrawLine(float x1, float y1, float x2, float y2, Colour colour) = 0;
  // One pixel per point, all in one colour.
  virtual void DrawPoints(std::span<const ChartPoint> points, Colour colour) = 0;
};

}  // namespace ampelon
