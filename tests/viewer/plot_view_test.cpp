#include "viewer/plot_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "viewer/charge_analysis.h"
#include "viewer/cursor_values.h"
#include "viewer/notes_placement.h"
#include "viewer/plot_frame.h"
#include "viewer/plot_series.h"
#include "viewer/reference_placement.h"

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

// Every curve is read at the pointer's x, however far above or below it the curve lies.
TEST(CursorValues, ACurveIsReadAtThePointersXWhateverItsHeight) {
  const Charge charge{{1638, 2457, 1638, 1638}, {0, 10, 20, 40}};
  const PlotSeries series(charge, XAxis::kTime, 100);
  const struct {
    double x;
    std::optional<std::size_t> point;
  } rows[] = {{109, 1}, {114.9, 1}, {131, 3}, {97, 0}, {95, {}}, {143, 3}, {146, {}}};
  for (const auto& row : rows) EXPECT_EQ(PointAtX(series, row.x, 4), row.point) << row.x;
  EXPECT_EQ(PointAtX(PlotSeries(Charge{}, XAxis::kSampleNumber), 1, 4), std::nullopt);
}

TEST(PlotSeries, AReferenceLiesOnTheChargesFirstReadingOrPeak) {
  const Charge charge{{1, 2, 3, 2}, {NAN, 100, 102, 104}};
  const Charge timed{{1, 2, 3}, {5000, 5001, 5002}};
  const Charge untimed{{1, 2, 3}, {}};
  const struct {
    const char* what;
    const Charge& reference;
    XAxis axis;
    std::optional<PeakReadings> peaks;
    double offset, pace;
    double peakX;  // where the reference's reading 2 then lies
  } rows[] = {
      {"by first times", timed, XAxis::kTime, {}, -4900, 0, 102},
      {"by sample number", timed, XAxis::kSampleNumber, {}, 0, 0, 3},
      {"no times: at the charge's pace", untimed, XAxis::kTime, {}, 100, 2, 104},
      {"peaks met in time", timed, XAxis::kTime, PeakReadings{2, 1}, -4899, 0, 103},
      {"peaks met without times", untimed, XAxis::kTime, PeakReadings{3, 1}, 102, 2, 106},
      {"peaks met by sample", untimed, XAxis::kSampleNumber, PeakReadings{3, 0}, 3, 0, 6},
      {"a charge's peak of unknown time", timed, XAxis::kTime, PeakReadings{0, 1}, -4900, 0, 102},
  };
  for (const auto& row : rows) {
    const ReferencePlacement placement = PlaceReference(charge, row.reference, row.axis, row.peaks);
    EXPECT_DOUBLE_EQ(placement.xOffset, row.offset) << row.what;
    EXPECT_DOUBLE_EQ(placement.secondsPerReading, row.pace) << row.what;
    const PlotSeries series(row.reference, row.axis, placement.xOffset,
                            placement.secondsPerReading);
    EXPECT_DOUBLE_EQ(series.X(2), row.peakX) << row.what;
  }
}

// The markers' note goes where it hides least of the curves: top left, else another corner.
TEST(NotesPlacement, TheNoteMovesAwayFromTheCurveItWouldHide) {
  const auto curve = [](std::int16_t left, std::int16_t right) {
    Charge charge;
    for (int i = 0; i < 100; ++i) {
      charge.counts.push_back(static_cast<std::int16_t>(left + (right - left) * i / 99));
    }
    return charge;
  };
  const Charge low = curve(200, 400);
  const Charge high = curve(3400, 3400);
  const Charge falling = curve(3400, 200);
  const Charge rising = curve(200, 3400);
  const struct {
    const char* what;
    const Charge& charge;
    const Charge* reference;
    double left, top;
  } rows[] = {
      {"low", low, nullptr, 70, 46},
      {"falling", falling, nullptr, 418, 46},
      {"high", high, nullptr, 70, 294},
      {"high with a low reference", high, &low, 70, 46},  // hidden wherever it goes
      {"rising", rising, nullptr, 70, 46},
  };
  // The plot area of 640 x 400 pixels: 560 x 336 from (64, 24).
  const PlotFrame frame = FrameFor(640, 400, {0, 101}, {0, 2.5});
  for (const auto& row : rows) {
    const PlotSeries series(row.charge, XAxis::kSampleNumber);
    std::optional<PlotSeries> reference;
    if (row.reference != nullptr) reference.emplace(*row.reference, XAxis::kSampleNumber);
    const NotesCorner corner =
        PlaceNotes(frame, 200, 60, {&series, reference ? &*reference : nullptr});
    EXPECT_DOUBLE_EQ(corner.left, row.left) << row.what;
    EXPECT_DOUBLE_EQ(corner.top, row.top) << row.what;
  }
}

// Fed as the charge grows or in one pass, the analysis finds the same peak.
TEST(ChargeAnalysis, AGrowingChargeHasTheSamePeakAsTheWholeOne) {
  Charge whole;
  for (int i = 0; i < 4000; ++i) {
    whole.counts.push_back(
        static_cast<std::int16_t>(i < 3000 ? 2000 + i / 10 : 2300 - (i - 3000) / 10));
    whole.seconds.push_back(2.0 * i);
  }
  ChargeAnalysis growing;
  Charge charge;
  for (const std::size_t size : {1000, 3500, 4000}) {
    charge.counts.assign(whole.counts.begin(), whole.counts.begin() + static_cast<long>(size));
    charge.seconds.assign(whole.seconds.begin(), whole.seconds.begin() + static_cast<long>(size));
    growing.Update(charge);
  }
  ChargeAnalysis once;
  once.Update(whole);
  const std::optional<std::size_t> peak = once.LongestChargePeak();
  ASSERT_TRUE(peak);
  EXPECT_NEAR(static_cast<double>(*peak), 3000, 40);
  EXPECT_EQ(growing.LongestChargePeak(), peak);
  charge.counts.resize(100);  // another charge, shorter: read afresh
  charge.seconds.resize(100);
  growing.Update(charge);
  EXPECT_NE(growing.LongestChargePeak(), peak);
}

}  // namespace
}  // namespace ampelon
