#include "chart/plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace ampelon {
namespace {

// x of sample `number` of a store of `count`, mapped as the chart maps it.
float X(int number, int count) {
  const auto scale = PlotScale::For(VoltageWindow::AtStart(0.3f));
  std::vector<float> heights;
  const PlotMapper mapper(*scale, count, 0, 0, heights);
  const std::int16_t reading = 0;
  ChartPoint point{};
  return mapper.Map({&reading, 1}, number, {&point, 1}).front().x;
}

TEST(Plot, XGivesRoomFor200Then400ThenSpreadsOverTheWidth) {
  const struct {
    int number;
    int count;
    float x;
  } rows[] = {
      {1, 1, 5.0f},
      {1, 200, 5.0f},
      {200, 200, 1000.0f},
      {1, 201, 2.5f},
      {201, 201, 502.5f},
      {400, 400, 1000.0f},
      {1, 401, 1000.0f / 401},
      {401, 401, 1000.0f},
      {50000, 100000, 500.0f},
      {100000, 100000, 1000.0f},
  };
  for (const auto& row : rows) {
    EXPECT_FLOAT_EQ(X(row.number, row.count), row.x) << row.number << " of " << row.count;
  }
  for (int count = 401; count <= 2000; ++count) EXPECT_FLOAT_EQ(X(count, count), 1000.0f);
}

TEST(Plot, ScaleCoversTheWindowWidenedByATwentiethOfAVoltEachWay) {
  const struct {
    float range;
    float volts;
    float y;
  } rows[] = {
      {0.3f, 1.0f, 125.0f}, {0.3f, 1.3f, 875.0f}, {0.3f, 1.15f, 500.0f},  {0.1f, 1.2f, 250.0f},
      {0.9f, 0.4f, 50.0f},  {0.3f, 0.95f, 0.0f},  {0.3f, 1.35f, 1000.0f}, {0.3f, 0.5f, -1125.0f},
  };
  for (const auto& row : rows) {
    const auto scale = PlotScale::For(VoltageWindow::AtStart(row.range));
    ASSERT_TRUE(scale.has_value());
    EXPECT_NEAR(scale->Y(row.volts), row.y, 0.01) << row.range << " " << row.volts;
  }
}

// A height of -0.1 V would divide by zero; infinite or NaN ends give no finite scale either.
TEST(Plot, NoScaleForAVanishingHeightOrAnInfiniteWindow) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  const VoltageWindow windows[] = {
      VoltageWindow::AtStart(-0.1f), {1.2f, 1.3f, -0.1f}, {1.3f, -kInf, 0.3f}, {kInf, 1.0f, 0.3f},
      {kInf, -kInf, 0.3f},           {-kInf, 1.0f, 0.3f}, {kNaN, 1.0f, 0.3f},  {1.3f, kNaN, 0.3f},
  };
  for (const auto& window : windows) {
    EXPECT_FALSE(PlotScale::For(window).has_value())
        << "upper " << window.upperVolts << " lower " << window.lowerVolts;
  }
}

// Window 1.0 .. 1.3 V: y = (volts - 0.95) x 1000 / 0.4, so 1638 (1.0 V) lies at 125 and 4095
// (2.5 V) at 3875; 2048 is 1.2503053 V, at 750.763. Slices map as the whole store does.
TEST(Plot, PointsFollowTheSamplesInOrder) {
  const std::vector<std::int16_t> samples = {0, 2048, 4095, 1638};
  const ChartPoint expected[] = {{5, -2375}, {10, 750.763f}, {15, 3875}, {20, 125}};
  const auto scale = PlotScale::For(VoltageWindow::AtStart(0.3f));
  ASSERT_TRUE(scale.has_value());
  std::vector<float> heights;
  const PlotMapper mapper(*scale, 4, 0, 4095, heights);
  std::vector<ChartPoint> buffer(10);
  for (const std::size_t sliceSize : {std::size_t{4}, std::size_t{3}, std::size_t{1}}) {
    SCOPED_TRACE(sliceSize);
    std::vector<ChartPoint> plotted;
    for (std::size_t first = 0; first < samples.size(); first += sliceSize) {
      const auto slice =
          std::span(samples).subspan(first).first(std::min(sliceSize, samples.size() - first));
      const auto points = mapper.Map(slice, static_cast<int>(first) + 1, buffer);
      ASSERT_EQ(points.size(), slice.size());
      EXPECT_EQ(points.data(), buffer.data());
      plotted.insert(plotted.end(), points.begin(), points.end());
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
      EXPECT_EQ(plotted[i].x, expected[i].x) << samples[i];
      EXPECT_NEAR(plotted[i].y, expected[i].y, 0.01) << samples[i];
    }
  }
}

}  // namespace
}  // namespace ampelon
