#include "viewer/charge_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "charger/charge_curve.h"
#include "viewer/charge_registration.h"
#include "viewer/slope_curve.h"

namespace ampelon {
namespace {

// The simulated charger's curve, a reading every two seconds with a count of noise.
Charge Curve() {
  Charge charge;
  std::mt19937 random(9);
  for (double t = 0; t <= ChargeCurve::kEndSeconds; t += 2) {
    charge.counts.push_back(static_cast<std::int16_t>(ChargeCurve::Counts(ChargeCurve::Volts(t)) +
                                                      static_cast<int>(random() % 3) - 1));
    charge.seconds.push_back(t);
  }
  return charge;
}

void ExpectSameFigures(const ChargeAnalysis& live, const ChargeAnalysis& whole) {
  ASSERT_EQ(live.Analyser().ChargeCount(), whole.Analyser().ChargeCount());
  const ChargeFigures a = live.Analyser().Figures(0);
  const ChargeFigures b = whole.Analyser().Figures(0);
  EXPECT_EQ(a.end, b.end);
  EXPECT_EQ(a.endSample, b.endSample);
  EXPECT_EQ(a.endSeconds, b.endSeconds);
  EXPECT_EQ(a.peakSample, b.peakSample);
  EXPECT_EQ(a.noiseMillivolts, b.noiseMillivolts);
}

// A followed charge is judged as it grows, in pieces of any size; times that come after their
// readings, or a charge started over, are judged afresh: always as the charge judged whole.
TEST(ChargeAnalysis, AChargeJudgedAsItGrowsIsJudgedAsWhole) {
  const Charge curve = Curve();
  ChargeAnalysis whole;
  whole.Update(curve);
  ASSERT_EQ(whole.Analyser().Figures(0).end, ChargeEnd::kPeakPassed);
  Charge followed;
  ChargeAnalysis live;
  std::mt19937 random(4);
  while (followed.counts.size() < curve.counts.size()) {
    const std::size_t size = std::min(curve.counts.size(), followed.counts.size() + random() % 400);
    followed.counts.assign(curve.counts.begin(), curve.counts.begin() + static_cast<long>(size));
    // The times of the first half come late, all at once.
    if (size > curve.counts.size() / 2) {
      followed.seconds.assign(curve.seconds.begin(),
                              curve.seconds.begin() + static_cast<long>(size));
    }
    live.Update(followed);
  }
  ExpectSameFigures(live, whole);
  const auto statistics = [](const ChargeAnalysis& analysis, const Charge& charge) {
    return analysis.Statistics().Of(charge.counts, charge.seconds, 0, charge.counts.size());
  };
  EXPECT_EQ(statistics(live, followed)->slope, statistics(whole, curve)->slope);
  // Ampelon loaded a graph log: the journal holds fewer readings, of another charge.
  followed.counts.resize(1000);
  followed.seconds.resize(1000);
  live.Update(followed);
  ChargeAnalysis shorter;
  shorter.Update(followed);
  ExpectSameFigures(live, shorter);
  // The curve falls 8 mV after its peak.
  whole.SetPeakDrop(10, curve);
  EXPECT_EQ(whole.Analyser().Figures(0).end, ChargeEnd::kRising);
}

// The curve climbs 45 mV over its 150 minutes to the peak (0.3 mV a minute), then climbs
// steeply and falls.
TEST(SlopeCurve, FollowsTheSlopeOfTheCurveAfterTheHoldOff) {
  const Charge curve = Curve();
  ChargeAnalysis analysis;
  analysis.Update(curve);
  SlopeCurve slope;
  slope.Update(analysis.Analyser(), curve, 0);
  const Charge& onTime = slope.Points(XAxis::kTime);
  const Charge& onSamples = slope.Points(XAxis::kSampleNumber);
  ASSERT_GT(onTime.counts.size(), 100u);
  ASSERT_EQ(onSamples.counts, onTime.counts);
  EXPECT_GE(onTime.seconds.front(), 600);
  double steepest = 0;
  double lowest = 0;
  for (std::size_t i = 0; i < onTime.counts.size(); ++i) {
    const double millivoltsPerMinute = SlopeCurve::MillivoltsPerMinute(onTime.counts[i]);
    // Samples two seconds apart, from 1.
    EXPECT_NEAR(onSamples.seconds[i], onTime.seconds[i] / 2 + 1, 20);
    if (onTime.seconds[i] > 3000 && onTime.seconds[i] < 6000) {
      EXPECT_NEAR(millivoltsPerMinute, 0.3, 0.15) << onTime.seconds[i];
    }
    steepest = std::max(steepest, millivoltsPerMinute);
    lowest = std::min(lowest, millivoltsPerMinute);
  }
  EXPECT_GT(steepest, 2.0);
  EXPECT_LT(lowest, -0.5);
  slope.Update(analysis.Analyser(), Charge{curve.counts, {}}, 0);
  EXPECT_TRUE(slope.Empty());
}

// A charge was recorded when its file was last written less the span of its known times.
TEST(ChargeRegistration, RecordedWhenTheFileWasWrittenLessItsTimes) {
  const double unknown = std::nan("");
  const struct {
    std::vector<double> seconds;
    std::int64_t recordedAt;
  } rows[] = {
      {{}, 100000},
      {{5, 6, 3605}, 96400},
      {{unknown, 10, 1810, unknown}, 98200},
      {{unknown, unknown}, 100000},
  };
  for (const auto& row : rows) {
    Charge charge;
    charge.counts.assign(row.seconds.size(), 2000);
    charge.seconds = row.seconds;
    EXPECT_EQ(RecordedAt(charge, 100000), row.recordedAt);
  }
}

}  // namespace
}  // namespace ampelon
