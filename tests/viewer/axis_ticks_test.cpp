#include "viewer/axis_ticks.h"

#include <gtest/gtest.h>

#include <cmath>

#include "viewer/clock_text.h"

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

// Times are written one way, on the axis and in the read-outs: as a clock.
TEST(AxisTicks, TimesAreClockTimesAtClockSteps) {
  const struct {
    double low, high;
    double first, step;
    int decimals;
    const char* firstText;
  } rows[] = {
      {0, 7380, 0, 1800, 0, "0:00"},         // two hours: every half hour
      {3000, 3300, 3000, 60, 0, "50:00"},    // five minutes: every minute
      {6615, 6720, 6615, 15, 0, "1:50:15"},  // under two minutes: every quarter of one
      {10, 12, 10, 0.5, 1, "0:10.0"},        // below a second a step: tenths
      {0, 864000, 0, 172800, 0, "0:00"},     // ten days: whole days
  };
  for (const auto& row : rows) {
    const AxisTicks ticks = ClockTicks(row.low, row.high, 8);
    EXPECT_DOUBLE_EQ(ticks.first, row.first) << row.low << ".." << row.high;
    EXPECT_DOUBLE_EQ(ticks.step, row.step) << row.low << ".." << row.high;
    EXPECT_EQ(ticks.decimals, row.decimals) << row.low << ".." << row.high;
    EXPECT_EQ(ClockText(ticks.first, ticks.decimals), row.firstText) << row.low;
  }
  const struct {
    double seconds;
    int decimals;
    const char* text;
  } texts[] = {{6760, 0, "1:52:40"},   {3160, 0, "52:40"}, {59.96, 1, "1:00.0"},
               {-5.04, 2, "-0:05.04"}, {-0.2, 0, "0:00"},  {172800, 0, "48:00:00"}};
  for (const auto& text : texts) EXPECT_EQ(ClockText(text.seconds, text.decimals), text.text);
}

}  // namespace
}  // namespace ampelon
