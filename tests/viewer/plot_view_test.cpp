#include "viewer/plot_view.h"

#include <gtest/gtest.h>

#include <cmath>

#include "viewer/cursor_values.h"
#include "viewer/plot_series.h"

namespace ampelon {
namespace {

TEST(PlotView, ZoomAndPanKeepWhatTheyAreAnchoredAtAndFollowingKeepsTheNewestReading) {
  const struct {
    const char* what;
    void (*act)(PlotView&);
    double low, high;
    bool showingAll;
  } rows[] = {
      {"everything, a hundredth wider each way", [](PlotView&) {}, -10, 1010, true},
      {"zoomed in around 500", [](PlotView& v) { v.ZoomX(500, 0.5); }, 245, 755, false},
      {"zoomed out around the left end", [](PlotView& v) { v.ZoomX(-10, 2); }, -10, 2030, false},
      {"no wider than a hundred times the data", [](PlotView& v) { v.ZoomX(500, 1e6); },
       500 - 50000, 500 + 50000, false},
      {"a rectangle dragged right to left",
       [](PlotView& v) {
         v.ZoomTo(AxisRange{600, 200}, {});
       },
       200, 600, false},
      {"panned", [](PlotView& v) { v.Pan(100, 0, {}); }, 90, 1110, false},
      {"everything as the data grows",
       [](PlotView& v) {
         v.Grew({0, 1000}, {0, 2000});
       },
       -20, 2020, true},
      {"the newest in view as the data grows",
       [](PlotView& v) {
         v.ZoomTo(AxisRange{800, 1005}, {});
         v.Grew({0, 1000}, {0, 1100});
       },
       900, 1105, false},
      {"the middle in view as the data grows",
       [](PlotView& v) {
         v.ZoomTo(AxisRange{400, 600}, {});
         v.Grew({0, 1000}, {0, 1100});
       },
       400, 600, false},
  };
  for (const auto& row : rows) {
    PlotView view;
    view.ShowAll({0, 1000});
    row.act(view);
    EXPECT_NEAR(view.X().low, row.low, 1e-6) << row.what;
    EXPECT_NEAR(view.X().high, row.high, 1e-6) << row.what;
    EXPECT_EQ(view.ShowingAll(), row.showingAll) << row.what;
  }
}

TEST(PlotView, VoltsFollowTheDataUntilZoomedOrPannedUpOrDown) {
  PlotView view;
  view.ShowAll({0, 10});
  view.ZoomX(5, 0.5);
  view.Pan(1, 0, {1, 2});
  EXPECT_FALSE(view.Volts());
  view.ZoomVolts({1, 2}, 1.25, 0.5);
  ASSERT_TRUE(view.Volts());
  EXPECT_DOUBLE_EQ(view.Volts()->low, 1.125);
  EXPECT_DOUBLE_EQ(view.Volts()->high, 1.625);
  view.ShowAll({0, 10});
  view.Pan(0, 0.5, {1, 2});
  ASSERT_TRUE(view.Volts());
  EXPECT_DOUBLE_EQ(view.Volts()->low, 1.5);
  view.ShowAll({0, 10});
  EXPECT_FALSE(view.Volts());
}

TEST(CursorValues, MarkerDifferencesGiveTimesAndTheSlopeOnlyWhereBothTimesAreKnown) {
  const Charge charge{{1638, 2457, 1638, 1638}, {0, 120, NAN, 120}};
  constexpr double kNone = -999;  // no value shown
  const struct {
    std::size_t a, b;
    long long samples;
    double volts, seconds, slope;
  } rows[] = {
      {0, 1, 1, 0.5, 120, 250},
      {1, 0, -1, -0.5, -120, 250},
      {0, 2, 2, 0, kNone, kNone},
      {1, 3, 2, -0.5, 0, kNone},
  };
  for (const auto& row : rows) {
    const MarkerDifference d = DifferenceOf(ValuesOf(charge, row.a), ValuesOf(charge, row.b));
    EXPECT_EQ(d.samples, row.samples) << row.a << " to " << row.b;
    EXPECT_NEAR(d.volts, row.volts, 1e-6) << row.a << " to " << row.b;
    EXPECT_DOUBLE_EQ(d.seconds.value_or(kNone), row.seconds) << row.a << " to " << row.b;
    EXPECT_NEAR(d.millivoltsPerMinute.value_or(kNone), row.slope, 1e-3) << row.a << " to " << row.b;
  }
}

TEST(CursorValues, TheNearestPointIsTheNearestOnScreenNotJustAlongTheAxis) {
  // Ten points a pixel apart, all at 1 V but the fifth at 1.5 V (50 pixels higher).
  Charge charge{std::vector<std::int16_t>(10, 1638), {}};
  charge.counts[4] = 2457;
  const PlotSeries series(charge, XAxis::kSampleNumber);
  const ColumnMapping columns{0.5, 1, 10};
  const RowMapping rows{2, 100, 200};
  const struct {
    double x, y;
    std::size_t nearest;
  } rows_[] = {{4.5, 50, 4}, {4.5, 99, 3}, {6.2, 100, 6}, {-30, 100, 0}, {500, 0, 9}};
  for (const auto& row : rows_) {
    EXPECT_EQ(NearestPoint(series, columns, rows, row.x, row.y, 3), row.nearest) << row.x;
  }
}

TEST(PlotSeries, AReferenceIsMovedOntoTheChargesFirstTimeOnlyOnTheTimeAxis) {
  const Charge charge{{1, 2}, {NAN, 100}};
  const Charge reference{{1, 2}, {5000, 5001}};
  const Charge untimed{{1, 2}, {}};
  EXPECT_DOUBLE_EQ(ReferenceOffset(charge, reference, XAxis::kTime), -4900);
  EXPECT_DOUBLE_EQ(ReferenceOffset(charge, reference, XAxis::kSampleNumber), 0);
  EXPECT_DOUBLE_EQ(ReferenceOffset(charge, untimed, XAxis::kTime), 0);
}

}  // namespace
}  // namespace ampelon
