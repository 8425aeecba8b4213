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
  std::vector<Line> expected;
  for (int i = 0; i <= 10; ++i) {
    const auto x = static_cast<float>(100 * i);
    expected.emplace_back(x, 0.0f, x, 1000.0f, 0x404040);
  }
  for (int i = 0; i <= 14; ++i) {
    const auto y = static_cast<float>(i * 1000.0 / 14);
    expected.emplace_back(0.0f, y, 1000.0f, y, 0x404040);
  }
  expected.emplace_back(0.0f, 0.0f, 0.0f, 1000.0f, 0xC00000);
  expected.emplace_back(0.0f, 0.0f, 1000.0f, 0.0f, 0xC00000);
  std::vector<Line> drawn;
  for (const auto& line : canvas.Lines()) {
    drawn.emplace_back(line.x1, line.y1, line.x2, line.y2, line.colour);
  }
  EXPECT_EQ(drawn, expected);
  EXPECT_EQ(std::get<1>(drawn[12]), 71.428574f);
  EXPECT_EQ(std::get<1>(drawn[24]), 928.5714f);
}

}  // namespace
}  // namespace ampelon
