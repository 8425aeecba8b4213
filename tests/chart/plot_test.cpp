#include "chart/plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/volts.h"

namespace ampelon {
namespace {

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
    EXPECT_FLOAT_EQ(PlotX(row.number, row.count), row.x) << row.number << " of " << row.count;
  }
  for (int count = 401; count <= 2000; ++count) EXPECT_FLOAT_EQ(PlotX(count, count), 1000.0f);
}

TEST(Plot, ScaleCoversTheWindowWidenedByAFiftiethOfAVoltEachWay) {
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

TEST(Plot, ScaleOfAVanishingHeightStaysFinite) {
  // A height of -0.1 leaves the divisor at float rounding noise: either no scale or finite y.
  if (const auto scale = PlotScale::For(VoltageWindow::AtStart(-0.1f))) {
    for (int reading = -4095; reading <= 4095; reading += 13) {
      EXPECT_TRUE(std::isfinite(scale->Y(Volts(static_cast<std::int16_t>(reading))))) << reading;
    }
  }
}

TEST(Plot, NoScaleForAnInfiniteWindow) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  const VoltageWindow windows[] = {
      {1.3f, -kInf, 0.3f}, {kInf, 1.0f, 0.3f}, {kInf, -kInf, 0.3f},
      {-kInf, 1.0f, 0.3f}, {kNaN, 1.0f, 0.3f}, {1.3f, kNaN, 0.3f},
  };
  for (const auto& window : windows) {
    EXPECT_FALSE(PlotScale::For(window).has_value())
        << "upper " << window.upperVolts << " lower " << window.lowerVolts;
  }
}

TEST(Plot, PointsFollowTheSamplesInOrder) {
  const std::vector<std::int16_t> samples = {0, 2048, 4095, 1638};
  std::vector<ChartPoint> buffer(10);
  const auto scale = PlotScale::For(VoltageWindow::AtStart(0.3f));
  ASSERT_TRUE(scale.has_value());
  const auto points = PlotPoints(samples, *scale, buffer);
  ASSERT_EQ(points.size(), samples.size());
  EXPECT_EQ(points.data(), buffer.data());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_EQ(points[i].x, 5.0f * static_cast<float>(i + 1));
    const double volts = samples[i] / 4095.0 * 2.5;
    EXPECT_NEAR(points[i].y, 2500 * (volts - 0.95), 0.01) << samples[i];
  }
}

}  // namespace
}  // namespace ampelon
