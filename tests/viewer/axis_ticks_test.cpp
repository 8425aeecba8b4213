#include "viewer/axis_ticks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ampelon {
namespace {

TEST(AxisTicks, StepsAreOneTwoOrFiveTimesAPowerOfTenAndAsFineAsAllowed) {
  const struct {
    double low, high;
    int most;
    double first, step;
    int count, decimals;
  } rows[] = {
      {0, 1, 11, 0, 0.1, 11, 1},           {0, 1, 10, 0, 0.2, 6, 1},
      {1.234, 1.289, 6, 1.24, 0.01, 5, 2}, {0.5, 100000, 8, 20000, 20000, 5, 0},
      {-0.3, 0.3, 5, -0.2, 0.2, 3, 1},     {2.55, 2.65, 2, 2.6, 0.1, 1, 1},
      {7, 7.000003, 4, 7, 1e-6, 4, 6},     {-1e6, -999999.5, 10, -1e6, 0.1, 6, 1},
  };
  for (const auto& row : rows) {
    const AxisTicks ticks = RoundTicks(row.low, row.high, row.most);
    EXPECT_NEAR(ticks.first, row.first, row.step * 1e-6) << row.low << ".." << row.high;
    EXPECT_DOUBLE_EQ(ticks.step, row.step) << row.low << ".." << row.high;
    EXPECT_EQ(ticks.count, row.count) << row.low << ".." << row.high;
    EXPECT_EQ(ticks.decimals, row.decimals) << row.low << ".." << row.high;
  }
  for (const double high : {0.0, -1.0, double{NAN}, double{INFINITY}})
    EXPECT_EQ(RoundTicks(0, high, 5).count, 0);
  EXPECT_EQ(RoundTicks(0, 1, 1).count, 0);
  EXPECT_FALSE(std::signbit(RoundTicks(-0.5, 0.5, 2).first));
}

TEST(AxisTicks, TimeIsWrittenInSecondsUpToTwoMinutesThenMinutesUpToTwoHours) {
  const struct {
    double span;
    TimeUnit unit;
  } rows[] = {{0.5, TimeUnit::kSeconds},  {120, TimeUnit::kSeconds}, {121, TimeUnit::kMinutes},
              {7200, TimeUnit::kMinutes}, {7201, TimeUnit::kHours},  {1e6, TimeUnit::kHours}};
  for (const auto& row : rows) EXPECT_EQ(TimeUnitFor(row.span), row.unit) << row.span;
}

}  // namespace
}  // namespace ampelon
