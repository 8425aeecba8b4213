#include "charger/line_stream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "charger/curve_source.h"
#include "charger/malformed_line_maker.h"
#include "charger/pacer.h"
#include "fakes/fake_clock.h"
#include "measurement/sample_store.h"
#include "measurement/serial_line_decoder.h"

namespace ampelon {
namespace {

// Readings from a list, as a replay file sends them.
struct ListSource final : ReadingSource {
  explicit ListSource(std::vector<int> list) : readings(std::move(list)) {}
  std::optional<int> Next() override {
    return next < readings.size() ? std::optional(readings[next++]) : std::nullopt;
  }
  void Rewind() override { next = 0; }
  std::vector<int> readings;
  std::size_t next = 0;
};

// The program's own decoder, which every line the charger sends goes through.
struct Receiver {
  testing::FakeClock clock{36000.0f};
  SampleStore store{clock};
  SerialLineDecoder decoder{store};

  std::vector<std::int16_t> Readings() const {
    return {store.Samples().begin(), store.Samples().end()};
  }
};

struct PacingCase {
  const char* name;
  double gapSeconds;
  std::size_t lineBytes;  // 0: random lengths up to 200 bytes
  double lateness;        // how far behind its start the writer offers the next line, at most
};

class PacerTest : public ::testing::TestWithParam<PacingCase> {};

TEST_P(PacerTest, NeverOutrunsTheSerialLine) {
  const PacingCase& c = GetParam();
  Pacer pacer(c.gapSeconds);
  std::minstd_rand random(3);
  std::uniform_int_distribution<std::size_t> length(1, 200);
  std::uniform_real_distribution<double> late(0.0, c.lateness);
  std::vector<double> starts;
  std::vector<std::size_t> bytes;
  double now = 100.0;
  for (int i = 0; i < 2000; ++i) {
    bytes.push_back(c.lineBytes != 0 ? c.lineBytes : length(random));
    starts.push_back(pacer.StartTime(now, bytes.back()));
    ASSERT_GE(starts.back(), now);
    now = starts.back() + late(random);
  }
  // Any run of lines takes at least as long as its bytes need at 1920 bytes a second.
  for (std::size_t i = 0; i < starts.size(); ++i) {
    double sum = 0.0;
    for (std::size_t j = i + 1; j < starts.size() && j < i + 400; ++j) {
      sum += static_cast<double>(bytes[j - 1]);
      ASSERT_GE(starts[j] - starts[i], sum / 1920.0 - 1e-9) << "lines " << i << ".." << j;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PacerTest,
                         ::testing::Values(PacingCase{"SlowReadings", 0.5, 5, 0.0},
                                           PacingCase{"GapShorterThanLine", 0.0001, 5, 0.0},
                                           PacingCase{"NoGapLongLines", 0.0, 0, 0.0},
                                           PacingCase{"LateWriter", 0.001, 0, 0.2}),
                         [](const auto& info) { return info.param.name; });

TEST(PacerTest, ReadingsOfferedInTimeKeepTheGapWithoutDrift) {
  Pacer pacer(0.01);
  double start = 0.0;
  for (int i = 0; i < 10000; ++i) start = pacer.StartTime(start, 5);
  EXPECT_NEAR(start, 9999 * 0.01, 1e-6);
}

TEST(MalformedLineMakerTest, NoKindIsEverAcceptedAndTheNextLineArrivesIntact) {
  for (int kind = 0; kind < MalformedLineMaker::kKindCount; ++kind) {
    for (const int reading : {0, 5, -5, 9, 10, 1966, 2375, 4095, 32767, -32768}) {
      Receiver receiver;
      const std::string line =
          MalformedLineMaker::Line(static_cast<MalformedLineMaker::Kind>(kind), reading);
      receiver.decoder.OnSerialEvent(line + "1234\n");
      EXPECT_EQ(receiver.Readings(), std::vector<std::int16_t>{1234})
          << "kind " << kind << ": " << ::testing::PrintToString(line);
    }
  }
}

TEST(LineStreamTest, MalformedLinesComeOnTopOfEveryReadingInOrder) {
  CurveSource expected(2.0, 11);
  CurveSource curve(2.0, 11);
  LineStream stream(curve, {.malformedShare = 0.3, .maxReadings = 3000, .seed = 11});
  Receiver receiver;
  int lines = 0;
  while (const auto line = stream.NextLine()) {
    ASSERT_EQ(line->find('\n'), line->size() - 1);
    receiver.decoder.OnSerialEvent(*line);
    ++lines;
  }
  const std::vector<std::int16_t> received = receiver.Readings();
  ASSERT_EQ(received.size(), 3000u);
  for (const std::int16_t reading : received) ASSERT_EQ(reading, *expected.Next());
  const double malformedShare = static_cast<double>(lines - 3000) / lines;
  EXPECT_NEAR(malformedShare, 0.3, 0.03);
}

TEST(LineStreamTest, StopsAtTheEndOrAtTheCountAndLoopsWhenAsked) {
  struct Case {
    bool loop;
    long long maxReadings;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {false, 0, "1\n-2\n3\n"},
      {false, 2, "1\n-2\n"},
      {true, 7, "1\n-2\n3\n1\n-2\n3\n1\n"},
  };
  for (const Case& c : cases) {
    ListSource source({1, -2, 3});
    LineStream stream(source, {.maxReadings = c.maxReadings, .loop = c.loop});
    std::string sent;
    for (int i = 0; i < 100; ++i) {
      if (const auto line = stream.NextLine()) sent += *line;
    }
    EXPECT_EQ(sent, c.expected) << c.loop << " " << c.maxReadings;
  }

  ListSource empty({});
  LineStream looping(empty, {.loop = true});
  EXPECT_FALSE(looping.NextLine());
}

}  // namespace
}  // namespace ampelon
