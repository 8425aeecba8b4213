#include "analysis/charge_analyser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "charger/charge_curve.h"
#include "common/volts.h"

namespace ampelon {

void PrintTo(ChargeEnd end, std::ostream* out) { *out << ChargeEndName(end); }

namespace {

struct Readings {
  std::vector<std::int16_t> counts;
  std::vector<double> seconds;
};

// A curve as a converter reads it every `interval` seconds: rounded, with the sum of two draws
// of up to `noise` counts, and a wild reading (0 or full scale) at each of `wild`.
Readings Record(const std::function<double(double)>& volts, double hours, double interval,
                int noise, std::vector<std::size_t> wild = {}, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> draw(-noise, noise);
  Readings readings;
  for (double t = 0.0; t <= hours * 3600.0; t += interval) {
    const int count =
        static_cast<int>(std::lround(CountsForVolts(volts(t)))) + (draw(random) + draw(random)) / 2;
    readings.counts.push_back(static_cast<std::int16_t>(count));
    readings.seconds.push_back(t);
  }
  for (const std::size_t sample : wild) readings.counts[sample] = sample % 2 ? kFullScale : 0;
  return readings;
}

Readings Append(Readings first, const Readings& second) {
  const double offset = first.seconds.back() + 2.0;
  first.counts.insert(first.counts.end(), second.counts.begin(), second.counts.end());
  for (const double t : second.seconds) first.seconds.push_back(offset + t);
  return first;
}

Readings RecordedCharge(const std::string& name) {
  Readings readings;
  std::ifstream log(std::string(AMPELON_CHARGES) + "/" + name + ".log");
  std::ifstream times(std::string(AMPELON_CHARGES) + "/" + name + ".times");
  for (int count = 0; log >> count;) readings.counts.push_back(static_cast<std::int16_t>(count));
  for (double t = 0; times >> t;) readings.seconds.push_back(t);
  return readings;
}

// A cell charged at C/10 for 14 hours: the first rise, then a slow climb of `climb` mV a minute.
double SlowCharge(double t, double climb) {
  return 1.25 + 0.12 * (1.0 - std::exp(-t / 900.0)) + climb * 1e-3 * t / 60.0;
}

// Rising 0.05 mV a minute, but flat and dipping 2 mV for half an hour after 4 hours.
double FlatInTheMiddle(double t) {
  const double base = 1.25 + 0.12 * (1.0 - std::exp(-t / 900.0));
  if (t < 4 * 3600.0) return base + 0.05e-3 * t / 60.0;
  if (t < 4.5 * 3600.0)
    return base + 0.012 - 0.002 * std::sin(std::numbers::pi * (t - 4 * 3600.0) / 1800.0);
  return base + 0.05e-3 * (t - 1800.0) / 60.0;
}

// A final climb of 30 mV into a flat top at 2 hours, with no fall after it.
double FlatTop(double t) {
  const double top = 7200.0;
  const double rise = [&](double s) {
    return 1.25 + 0.12 * (1.0 - std::exp(-s / 600.0)) + 0.02 * s / top;
  }(std::min(t, top));
  return rise + 0.03 * std::exp((std::min(t, top) - top) / 500.0);
}

std::vector<ChargeFigures> Judge(const Readings& readings, bool withTimes = true) {
  ChargeAnalyser analyser;
  analyser.Feed(readings.counts,
                withTimes ? std::span<const double>(readings.seconds) : std::span<const double>());
  return analyser.AllFigures();
}

// Curves whose answer is known: how each charge ended and where (in seconds from its start, or
// in samples where times are not known).
TEST(ChargeAnalyser, JudgesCurvesWhoseEndIsKnown) {
  const double peak = ChargeCurve::kPeakSeconds;
  const auto curve = [](double t) { return ChargeCurve::Volts(t); };
  const auto falseDrop = [](double t) {
    return ChargeCurve::Volts(t) + 0.04 * std::exp(-std::pow((t - 120.0) / 60.0, 2));
  };
  const auto backwards = [](Readings r) {
    return Readings{r.counts, {r.seconds.rbegin(), r.seconds.rend()}};
  };
  const struct {
    const char* name;
    Readings readings;
    bool withTimes;
    std::vector<ChargeEnd> ends;  // one a charge
    double endFrom, endTo;        // where the first charge's end lies
  } cases[] = {
      {"-dV with noise and wild readings",
       Record(curve, 2.75, 2, 2, {1000, 2001, 4500, 4501}),
       true,
       {ChargeEnd::kPeakPassed},
       peak,
       peak + 600},
      {"a false drop in the first minutes",
       Record(falseDrop, 2.75, 2, 2),
       true,
       {ChargeEnd::kPeakPassed},
       peak,
       peak + 600},
      {"louder noise",
       Record(curve, 2.75, 2, 6, {}, 3),
       true,
       {ChargeEnd::kPeakPassed},
       peak,
       peak + 600},
      {"a slow charge still rising",
       Record([](double t) { return SlowCharge(t, 0.1); }, 14, 4, 6),
       true,
       {ChargeEnd::kRising},
       0,
       0},
      {"a slow charge flat in its middle",
       Record(FlatInTheMiddle, 8, 4, 6),
       true,
       {ChargeEnd::kRising},
       0,
       0},
      {"a final climb into a flat top",
       Record(FlatTop, 2.5, 2, 2),
       true,
       {ChargeEnd::kPlateau},
       7200 + 900,
       7200 + 1500},
      {"two charges in one log",
       Append(Record(curve, 2.75, 2, 2), Record(curve, 1.5, 2, 2, {}, 2)),
       true,
       {ChargeEnd::kPeakPassed, ChargeEnd::kRising},
       peak,
       peak + 600},
      {"a log without times",
       Record(curve, 2.75, 2, 2, {1000, 2001}),
       false,
       {ChargeEnd::kPeakPassed},
       peak / 2,
       (peak + 600) / 2},
      {"times run back: the end found, with no time (-1)",
       backwards(Record(curve, 2.75, 2, 2)),
       true,
       {ChargeEnd::kPeakPassed},
       -1,
       -1},
      {"a recorded charge ended by its -dV",
       RecordedCharge("nobutarou_v6_aa_1a"),
       true,
       {ChargeEnd::kPeakPassed},
       900,
       1010},
      {"a recorded charge stopped at its top",
       RecordedCharge("cm2010_slot1"),
       true,
       {ChargeEnd::kRising},
       0,
       0},
      {"another stopped at its top",
       RecordedCharge("cm2010_slot2"),
       true,
       {ChargeEnd::kRising},
       0,
       0},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    const std::vector<ChargeFigures> charges = Judge(row.readings, row.withTimes);
    ASSERT_EQ(charges.size(), row.ends.size());
    for (std::size_t i = 0; i < charges.size(); ++i) EXPECT_EQ(charges[i].end, row.ends[i]) << i;
    if (row.ends[0] == ChargeEnd::kRising) continue;
    const double end = row.withTimes ? charges[0].endSeconds.value_or(-1)
                                     : static_cast<double>(charges[0].endSample.value_or(0));
    EXPECT_GE(end, row.endFrom);
    EXPECT_LE(end, row.endTo);
  }
}

TEST(ChargeAnalyser, FiguresOfAChargeAndOfOneThatFollowsIt) {
  const Readings first = Record([](double t) { return ChargeCurve::Volts(t); }, 2.75, 2, 2);
  const std::vector<ChargeFigures> charges =
      Judge(Append(first, Record([](double t) { return ChargeCurve::Volts(t); }, 1, 2, 2)));
  ASSERT_EQ(charges.size(), 2u);
  const ChargeFigures& charge = charges[0];
  EXPECT_EQ(charge.firstSample, 1u);
  EXPECT_EQ(charge.lastSample, first.counts.size());
  EXPECT_EQ(charges[1].firstSample, first.counts.size() + 1);
  EXPECT_NEAR(charge.startVolts, 1.20, 0.005);
  EXPECT_NEAR(charge.peakVolts, ChargeCurve::kPeakVolts, 0.002);
  EXPECT_NEAR(*charge.peakSeconds, ChargeCurve::kPeakSeconds, 300);
  EXPECT_NEAR(charge.dropMillivolts, ChargeCurve::kDropVolts * 1000, 1.5);
  EXPECT_DOUBLE_EQ(*charge.durationSeconds, first.seconds.back());
  // The plateau of the curve climbs 45 mV over its 2.5 hours.
  EXPECT_NEAR(*charge.slopeMillivoltsPerMinute, 45.0 / 150.0, 0.15);
  // Two draws of -2..2 counts halved: about 0.8 counts, half a millivolt.
  EXPECT_GT(charge.noiseMillivolts, 0.3);
  EXPECT_LT(charge.noiseMillivolts, 0.8);
  EXPECT_FALSE(Judge(first, false)[0].slopeMillivoltsPerMinute);
}

// The running charge is fed as its readings arrive: in any pieces, the same figures as one pass.
TEST(ChargeAnalyser, FedInPiecesItFindsWhatOnePassFinds) {
  const Readings readings =
      Append(Record([](double t) { return ChargeCurve::Volts(t); }, 2.75, 2, 3, {700, 3001}),
             Record(FlatTop, 2.5, 2, 2));
  ChargeAnalyser whole;
  whole.Feed(readings.counts, readings.seconds);
  std::mt19937 random(7);
  for (const std::size_t largest : {1u, 3u, 17u, 500u}) {
    SCOPED_TRACE(largest);
    ChargeAnalyser live;
    for (std::size_t at = 0; at < readings.counts.size();) {
      const std::size_t size =
          std::min(readings.counts.size() - at,
                   std::uniform_int_distribution<std::size_t>(1, largest)(random));
      live.Feed(std::span(readings.counts).subspan(at, size),
                std::span(readings.seconds).subspan(at, size));
      at += size;
    }
    const auto expected = whole.AllFigures();
    const auto found = live.AllFigures();
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].end, expected[i].end);
      EXPECT_EQ(found[i].endSample, expected[i].endSample);
      EXPECT_EQ(found[i].peakSample, expected[i].peakSample);
      EXPECT_DOUBLE_EQ(found[i].noiseMillivolts, expected[i].noiseMillivolts);
    }
  }
}

}  // namespace
}  // namespace ampelon
