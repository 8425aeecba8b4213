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
  const std::vector<Line> expected = {
      {0, 0, 0, 1000, kGrey},
      {100, 0, 100, 1000, kGrey},
      {200, 0, 200, 1000, kGrey},
      {300, 0, 300, 1000, kGrey},
      {400, 0, 400, 1000, kGrey},
      {500, 0, 500, 1000, kGrey},
      {600, 0, 600, 1000, kGrey},
      {700, 0, 700, 1000, kGrey},
      {800, 0, 800, 1000, kGrey},
      {900, 0, 900, 1000, kGrey},
      {1000, 0, 1000, 1000, kGrey},
      {0, 0, 1000, 0, kGrey},
      {0, 71.42857f, 1000, 71.42857f, kGrey},
      {0, 142.85715f, 1000, 142.85715f, kGrey},
      {0, 214.28572f, 1000, 214.28572f, kGrey},
      {0, 285.7143f, 1000, 285.7143f, kGrey},
      {0, 357.14285f, 1000, 357.14285f, kGrey},
      {0, 428.57144f, 1000, 428.57144f, kGrey},
      {0, 500, 1000, 500, kGrey},
      {0, 571.4286f, 1000, 571.4286f, kGrey},
      {0, 642.8571f, 1000, 642.8571f, kGrey},
      {0, 714.2857f, 1000, 714.2857f, kGrey},
      {0, 785.7143f, 1000, 785.7143f, kGrey},
      {0, 857.1429f, 1000, 857.1429f, kGrey},
      {0, 928.5714f, 1000, 928.5714f, kGrey},
      {0, 1000, 1000, 1000, kGrey},
      {0, 0, 0, 1000, kRed},
      {0, 0, 1000, 0, kRed},
  };
  std::vector<Line> drawn;
  for (const auto& line : canvas.Lines()) {
    drawn.emplace_back(line.x1, line.y1, line.x2, line.y2, line.colour);
  }
  EXPECT_EQ(drawn, expected);
}

}  // namespace
}  // namespace ampelon
