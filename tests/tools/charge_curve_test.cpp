#include "charger/charge_curve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "charger/curve_source.h"
#include "common/volts.h"

namespace ampelon {
namespace {

constexpr double kHour = 3600.0;

TEST(ChargeCurveTest, RisesThroughAPlateauToAPeakAndDropsAFewMillivolts) {
  EXPECT_NEAR(ChargeCurve::Volts(0.0), 1.20, 0.02);
  for (const double hours : {0.5, 1.0, 1.5, 2.0}) {
    SCOPED_TRACE(hours);
    EXPECT_GE(ChargeCurve::Volts(hours * kHour), 1.375);
    EXPECT_LE(ChargeCurve::Volts(hours * kHour), 1.425);
  }

  double peakVolts = 0.0;
  double peakSeconds = 0.0;
  double previous = ChargeCurve::Volts(0.0);
  for (double t = 0.0; t <= ChargeCurve::kEndSeconds; t += 1.0) {
    const double volts = ChargeCurve::Volts(t);
    if (volts > peakVolts) {
      peakVolts = volts;
      peakSeconds = t;
    }
    if (t <= ChargeCurve::kPeakSeconds) {
      ASSERT_GE(volts, previous) << "falls before the peak at " << t << " s";
    }
    previous = volts;
  }
  EXPECT_NEAR(peakVolts, 1.45, 0.005);
  EXPECT_GT(peakSeconds, 2.0 * kHour);
  EXPECT_LE(ChargeCurve::kEndSeconds, 3.0 * kHour);
  const double drop = peakVolts - ChargeCurve::Volts(ChargeCurve::kEndSeconds);
  EXPECT_GE(drop, 0.005);
  EXPECT_LE(drop, 0.010);
}

// What the charger sends for a voltage is the reading the program shows as that voltage.
TEST(ChargeCurveTest, CountsAreTheReadingsThatShowAsTheVolts) {
  for (int reading = 0; reading <= kFullScale; ++reading) {
    ASSERT_EQ(ChargeCurve::Counts(Volts(static_cast<std::int16_t>(reading))), reading);
  }
  EXPECT_EQ(ChargeCurve::Counts(1.25), 2048);  // 2047.5: ties to even
  EXPECT_EQ(ChargeCurve::Counts(-0.1), 0);
  EXPECT_EQ(ChargeCurve::Counts(2.6), kFullScale);
}

TEST(CurveSourceTest, NoisyReadingsKeepTheShapeAndTheConverterRange) {
  constexpr double kInterval = 2.0;
  CurveSource source(kInterval, 7);
  std::vector<int> readings;
  while (const auto reading = source.Next()) readings.push_back(*reading);

  ASSERT_EQ(readings.size(), static_cast<std::size_t>(ChargeCurve::kEndSeconds / kInterval) + 1);
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const int clean = ChargeCurve::Counts(ChargeCurve::Volts(static_cast<double>(i) * kInterval));
    ASSERT_LE(std::abs(readings[i] - clean), CurveSource::kNoiseCounts) << i;
    ASSERT_GE(readings[i], 0);
    ASSERT_LE(readings[i], 4095);
  }
  // The -dV shows through the noise: the last minute averages well below the highest reading.
  const int highest = *std::max_element(readings.begin(), readings.end());
  double tail = 0.0;
  for (std::size_t i = readings.size() - 30; i < readings.size(); ++i) tail += readings[i];
  EXPECT_LE(tail / 30.0, highest - 8.0);

  source.Rewind();
  EXPECT_NEAR(*source.Next(), readings.front(), 2 * CurveSource::kNoiseCounts);
}

}  // namespace
}  // namespace ampelon
