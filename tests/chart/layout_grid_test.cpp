#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "chart/chart_layout.h"
#include "chart/grid.h"
#include "fakes/fake_canvas.h"

namespace ampelon {
namespace {

using testing::FakeCanvas;

TEST(ChartLayout, LabelSpacingRoundsHalvesToEven) {
  const struct {
    float chartHeight;
    int spacing;
  } rows[] = {{4585.0f, 328}, {4935.0f, 352}, {6735.0f, 481}, {4592.0f, 328},
              {4599.0f, 328}, {4613.0f, 330}, {0.0f, 0}};
  for (const auto& row : rows)
    EXPECT_EQ(LabelSpacing(row.chartHeight), row.spacing) << row.chartHeight;
}

TEST(ChartLayout, LabelsStandBesideTheOddGridLines) {
  const float top = 1320.0f;
  const float expected[] = {top + 4154, top + 3498, top + 2842, top + 2186,
                            top + 1530, top + 874,  top + 218};
  for (int index = 0; index < 7; ++index) {
    EXPECT_EQ(AxisLabelTop(top, 328, index), expected[index]) << "label " << index;
  }
  EXPECT_EQ(AxisLabelTop(0.5f, 352, 6), 242.5f);
}

TEST(Grid, ElevenVerticalFifteenHorizontalThenTheAxes) {
  FakeCanvas canvas;
  DrawGrid(canvas);
  ASSERT_EQ(canvas.Calls().size(), 29u);
  EXPECT_EQ(canvas.Calls().front(), FakeCanvas::Call::kClear);
  EXPECT_EQ(canvas.Clears(), 1);
  using Line = std::tuple<float, float, float, float, Colour>;
  constexpr Colour kGrey = 0x404040;
  constexpr Colour kRed = 0xC00000;
  // Vertical lines every 100 units; horizontal ones every 1000 / 14 units, as floats
  // (1000 / 14 = 71.428571... is stored as 71.42857).
  const float columns[] = {0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
  const float rows[] = {0,          71.42857f,  142.85715f, 214.28572f, 285.7143f,
                        357.14285f, 428.57144f, 500,        571.4286f,  642.8571f,
                        714.2857f,  785.7143f,  857.1429f,  928.5714f,  1000};
  std::vector<Line> expected;
  for (const float x : columns) expected.emplace_back(x, 0.0f, x, 1000.0f, kGrey);
  for (const float y : rows) expected.emplace_back(0.0f, y, 1000.0f, y, kGrey);
  expected.emplace_back(0.0f, 0.0f, 0.0f, 1000.0f, kRed);
  expected.emplace_back(0.0f, 0.0f, 1000.0f, 0.0f, kRed);
  std::vector<Line> drawn;
  for (const auto& line : canvas.Lines()) {
    drawn.emplace_back(line.x1, line.y1, line.x2, line.y2, line.colour);
  }
  EXPECT_EQ(drawn, expected);
}

}  // namespace
}  // namespace ampelon
