#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "common/volts.h"
#include "viewer/column_trace.h"
#include "viewer/min_max_pyramid.h"
#include "viewer/pixel_image.h"
#include "viewer/plot_series.h"
#include "viewer/reading_statistics.h"

namespace ampelon {
namespace {

// A charge with noise, steps and spikes, and times with gaps, unknown and backward entries.
Charge NoisyCharge(std::size_t size) {
  std::mt19937 random(7);
  Charge charge;
  double time = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const auto base = 2000 + static_cast<int>(300 * std::sin(static_cast<double>(i) / 500.0));
    charge.counts.push_back(static_cast<std::int16_t>(base + static_cast<int>(random() % 40) +
                                                      (i % 997 == 0 ? 900 : 0)));
    time += (i % 1500 == 0) ? 40.0 : 0.25 * static_cast<double>(random() % 5);
    charge.seconds.push_back(i % 311 == 5 ? NAN : (i % 419 == 3 ? time - 30 : time));
  }
  return charge;
}

TEST(MinMaxPyramid, GivesTheExtremesOfEveryRunAsItGrows) {
  const Charge charge = NoisyCharge(5000);
  std::mt19937 random(3);
  MinMaxPyramid pyramid;
  for (const std::size_t size : {1u, 31u, 32u, 33u, 64u, 1000u, 4097u, 5000u}) {
    const std::span<const std::int16_t> counts(charge.counts.data(), size);
    pyramid.Extend(counts);
    for (int trial = 0; trial < 300; ++trial) {
      std::size_t first = random() % size;
      std::size_t last = first + 1 + random() % (size - first);
      if (trial == 0) first = 0, last = size;
      const CountRange range = pyramid.Of(counts, first, last);
      const auto [lowest, highest] =
          std::minmax_element(counts.begin() + static_cast<std::ptrdiff_t>(first),
                              counts.begin() + static_cast<std::ptrdiff_t>(last));
      ASSERT_EQ(range.lowest, *lowest) << size << ": " << first << ".." << last;
      ASSERT_EQ(range.highest, *highest) << size << ": " << first << ".." << last;
    }
  }
}

// Figures whose answer is known, over stretches that begin and end inside blocks of the sums.
TEST(ReadingStatistics, GivesTheFiguresOfAnyStretchAsTheChargeGrows) {
  const double millivoltsPerCount = 2500.0 / 4095;
  Charge alternating;  // 2000 and 2001 by turns, one of them wild
  Charge staircase;    // a count higher every ten readings, six seconds apart: a count a minute
  for (std::size_t i = 0; i < 5000; ++i) {
    alternating.counts.push_back(static_cast<std::int16_t>(i == 2500 ? 4095 : 2000 + i % 2));
    staircase.counts.push_back(static_cast<std::int16_t>(2000 + i / 10));
    staircase.seconds.push_back(6.0 * static_cast<double>(i));
  }
  Charge untimed = staircase;
  untimed.seconds.clear();
  const struct {
    const char* what;
    const Charge& charge;
    std::size_t first, last;
    double lowest, highest, mean, noise, slope;  // counts; noise and slope in mV (per minute)
  } rows[] = {
      // Steps of one count: sqrt(1 / 2) counts. The wild reading's two steps count 16 each
      // (10 mV), not 2094: 0.74 counts rather than 30.
      {"noise", alternating, 5, 4995, 2000, 4095, 2000.5 + 2095.0 / 4990,
       std::sqrt((4987 + 2 * 16 * 16) / (2.0 * 4989)), 0},
      {"no wild reading", alternating, 100, 2400, 2000, 2001, 2000.5, std::sqrt(0.5), 0},
      {"a slope a minute", staircase, 1000, 4000, 2100, 2399, 2249.5, std::sqrt(0.05), 1},
      {"a slope per 1000 readings", untimed, 1001, 1999, 2100, 2199, 2149.5, std::sqrt(0.05), 100},
  };
  for (const auto& row : rows) {
    ReadingStatistics statistics;
    // In two pieces, as a followed charge grows.
    const std::span<const std::int16_t> counts(row.charge.counts);
    const std::span<const double> seconds(row.charge.seconds);
    statistics.Extend(counts.first(1500), seconds.empty() ? seconds : seconds.first(1500));
    statistics.Extend(counts, seconds);
    const std::optional<RangeFigures> figures = statistics.Of(counts, seconds, row.first, row.last);
    ASSERT_TRUE(figures) << row.what;
    EXPECT_EQ(figures->readings, row.last - row.first) << row.what;
    EXPECT_EQ(figures->lowestVolts, Volts(static_cast<std::int16_t>(row.lowest))) << row.what;
    EXPECT_EQ(figures->highestVolts, Volts(static_cast<std::int16_t>(row.highest))) << row.what;
    EXPECT_NEAR(figures->meanVolts * 1000 / millivoltsPerCount, row.mean, 1e-6) << row.what;
    EXPECT_NEAR(figures->noiseMillivolts / millivoltsPerCount, row.noise, 1e-3) << row.what;
    EXPECT_NEAR(figures->slope.value_or(-1) / millivoltsPerCount, row.slope, 0.01) << row.what;
    EXPECT_EQ(figures->slopePerMinute, !seconds.empty()) << row.what;
  }
  EXPECT_FALSE(ReadingStatistics().Of(alternating.counts, {}, 0, 10));
}

TEST(PlotSeries, TheTimeAxisLeavesOffUnknownAndBackwardTimesAndKeepsDoingSoAsTheChargeGrows) {
  Charge charge{{10, 11, 12, 13, 14, 15}, {0.1, NAN, 1.0, 0.5, 2.0, 2.0}};
  PlotSeries series(charge, XAxis::kTime, 100);
  ASSERT_EQ(series.Size(), 4u);
  const std::size_t readings[] = {0, 2, 4, 5};
  for (std::size_t point = 0; point < 4; ++point) {
    EXPECT_EQ(series.Reading(point), readings[point]);
    EXPECT_EQ(series.Count(point), charge.counts[readings[point]]);
    EXPECT_DOUBLE_EQ(series.X(point), charge.seconds[readings[point]] + 100);
  }
  charge.counts.insert(charge.counts.end(), {16, 17});
  charge.seconds.push_back(3.0);  // the last reading's time is not known yet
  series.Extend();
  EXPECT_EQ(series.Size(), 5u);
  EXPECT_EQ(series.Pyramid().Of(series.Counts(), 0, 5).highest, 16);
  EXPECT_EQ(PlotSeries(charge, XAxis::kSampleNumber).Size(), 8u);
  // A charge rewritten shorter is taken afresh, not read past its end.
  charge = Charge{{20, 21}, {0, 1}};
  series.Extend();
  EXPECT_EQ(series.Size(), 2u);
  EXPECT_EQ(series.Pyramid().Of(series.Counts(), 0, 2).highest, 21);
}

// Column 0 is x 0.5 to 1.5: the point at 1 and the line to the point at 2 as far as 1.5.
TEST(ColumnTrace, ColumnsCoverTheLineBetweenPointsAcrossTheirWidth) {
  const Charge charge{{1638, 2457, 1638}, {}};  // 1.0 V, 1.5 V, 1.0 V
  const PlotSeries series(charge, XAxis::kSampleNumber);
  const ColumnMapping columns{0.5, 1, 4};
  const RowMapping rows{2.0, 10, 20};  // row 0 is 2.0 to 1.9 V
  std::vector<ColumnSpan> spans(4);
  TraceColumns(series, columns, rows, spans);
  const int expected[4][2] = {{7, 10}, {5, 7}, {7, 10}, {1, 0}};
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(spans[column].top, expected[column][0]) << column;
    EXPECT_EQ(spans[column].bottom, expected[column][1]) << column;
  }
}

// The pyramid's picture is the one every point and line drawn one by one gives, zoomed out and
// in, at the plot's edges, past both ends of the charge and with the view beside it.
TEST(ColumnTrace, PyramidDrawsTheSamePixelsAsEveryPoint) {
  const Charge charge = NoisyCharge(200000);
  const struct {
    const char* what;
    XAxis axis;
    double low, high;  // x at the plot's left and right edge
  } rows[] = {
      {"everything", XAxis::kSampleNumber, -2000, 202000},
      {"zoomed in on a few points", XAxis::kSampleNumber, 99990.3, 100010.7},
      {"a point a column", XAxis::kSampleNumber, 5000, 5640},
      {"the first readings", XAxis::kSampleNumber, -3.5, 700},
      {"the last readings", XAxis::kSampleNumber, 199500, 200100},
      {"between two points", XAxis::kSampleNumber, 10.2, 10.8},
      {"beside the charge", XAxis::kSampleNumber, 300000, 301000},
      {"every time", XAxis::kTime, -100, 60000},
      {"over a gap in the times", XAxis::kTime, 170, 330},
      {"times zoomed in", XAxis::kTime, 1000, 1003},
  };
  const int width = 640;
  const int height = 200;
  for (const auto& row : rows) {
    const PlotSeries series(charge, row.axis);
    const ColumnMapping columns{row.low, width / (row.high - row.low), width};
    for (const double volts : {1.25, 1.2}) {  // the curve in view, and cut off at the top
      const RowMapping rows{volts + 0.2, height / 0.4, height};
      std::vector<std::vector<std::uint32_t>> pictures;
      for (const auto trace : {TraceColumns, TraceEveryPoint}) {
        std::vector<ColumnSpan> spans(width);
        trace(series, columns, rows, spans);
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
        DrawSpans({pixels.data(), width, width, height}, spans, 0, 0, height, 2, 1);
        pictures.push_back(std::move(pixels));
      }
      EXPECT_EQ(pictures[0], pictures[1]) << row.what << " at " << volts;
      EXPECT_EQ(std::count(pictures[0].begin(), pictures[0].end(), 1u) > 0, row.low < 200000)
          << row.what;
    }
  }
}

}  // namespace
}  // namespace ampelon
