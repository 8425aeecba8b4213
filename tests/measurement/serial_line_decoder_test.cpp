#include "measurement/serial_line_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/leading_number.h"
#include "common/number_text.h"
#include "common/rounding.h"
#include "fakes/fake_clock.h"
#include "measurement/sample_store.h"

namespace ampelon {
namespace {

using Readings = std::vector<std::int16_t>;

Readings StoredReadings(const SampleStore& store) {
  const auto samples = store.Samples();
  return {samples.begin(), samples.end()};
}

struct DecoderHarness {
  testing::FakeClock clock{36000.0f};
  SampleStore store{clock};
  SerialLineDecoder decoder{store};
};

struct LineCase {
  std::string received;
  Readings expected;
};

class DecoderLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(DecoderLineTest, AcceptsOnlyCanonicalLines) {
  DecoderHarness h;
  h.decoder.OnSerialEvent(GetParam().received);
  EXPECT_EQ(StoredReadings(h.store), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecoderLineTest,
    ::testing::Values(LineCase{"1023\n", {1023}}, LineCase{"  1023  \n", {1023}},
                      LineCase{"-5\n", {-5}}, LineCase{"32767\n-32768\n", {32767, -32768}},
                      LineCase{"0\n", {0}}, LineCase{"1\n2\n3\n", {1, 2, 3}},
                      // Rejected silently: the decoder goes on with the next line.
                      LineCase{"1023\r\n", {}}, LineCase{"\n", {}}, LineCase{"+5\n", {}},
                      LineCase{"007\n", {}}, LineCase{"-0\n", {}}, LineCase{"5.0\n", {}},
                      LineCase{"12a\n", {}}, LineCase{"1 2\n", {}}, LineCase{"1e3\n", {}},
                      LineCase{"\t5\n", {}}, LineCase{"32768\n", {}}, LineCase{"-32769\n", {}},
                      LineCase{"40000\n", {}}, LineCase{"1e9\n", {}},
                      LineCase{"99999999999999999999\n", {}}, LineCase{"-\n", {}},
                      LineCase{std::string("5\0\n", 3), {}},
                      LineCase{std::string("\0"
                                           "5\n",
                                           3),
                               {}},
                      LineCase{"\xff\xfe"
                               "7\n8\n",
                               {8}},
                      LineCase{"x\n4\r\n5\n", {5}},
                      // Text after the last line feed is not a reading yet.
                      LineCase{"17", {}}, LineCase{"1\n2", {1}}));

// ParseReading must agree with its definition: the leading number rounded to 16 bits, accepted
// only when its canonical text equals the line.
TEST(ParseReading, AgreesWithReformattingDefinitionOnRandomLines) {
  std::mt19937 random(12345);
  const std::string alphabet = "0123456789-+. eEdD&Hx\r\t";
  for (int i = 0; i < 200000; ++i) {
    std::string line;
    const int length = static_cast<int>(random() % 8);
    for (int j = 0; j < length; ++j) line += alphabet[random() % alphabet.size()];
    std::optional<std::int16_t> expected;
    if (const auto value = RoundToInt16(LeadingNumber(line)); value && NumberText(*value) == line) {
      expected = value;
    }
    ASSERT_EQ(ParseReading(line), expected) << "line \"" << line << "\"";
  }
}

TEST(ParseReading, EveryValueOfTheRangeRoundTrips) {
  for (int value = -32768; value <= 32767; ++value) {
    ASSERT_EQ(ParseReading(std::to_string(value)), static_cast<std::int16_t>(value));
  }
}

TEST(SerialLineDecoder, PartialLineWaitsForTheNextEvent) {
  DecoderHarness h;
  h.decoder.OnSerialEvent("12");
  EXPECT_EQ(h.store.SampleCount(), 0);
  EXPECT_EQ(h.decoder.RxBuffer(), "12");
  const auto summary = h.decoder.OnSerialEvent("3\n45");
  EXPECT_EQ(summary.stored, 1);
  EXPECT_EQ(StoredReadings(h.store), Readings{123});
  EXPECT_EQ(h.decoder.RxBuffer(), "45");
}

TEST(SerialLineDecoder, EmptyEventChangesNothing) {
  DecoderHarness h;
  h.decoder.OnSerialEvent("9");
  const int reads = h.clock.Reads();
  const auto summary = h.decoder.OnSerialEvent("");
  EXPECT_EQ(summary.stored, 0);
  EXPECT_EQ(h.decoder.RxBuffer(), "9");
  EXPECT_EQ(h.clock.Reads(), reads);
}

TEST(SerialLineDecoder, FirstReadingStartsTheChargeClock) {
  DecoderHarness h;
  h.decoder.OnSerialEvent("1023\n");
  EXPECT_DOUBLE_EQ(h.store.StartTime(), 35999.9);
  EXPECT_EQ(h.store.LastTime(), 36000.0);
}

TEST(SerialLineDecoder, EverySplitOfAStreamGivesTheSameReadings) {
  const std::string stream = "  12 \n-7\n007\n4095\r\n\n32767\n-32768 \nabc\n0\n5";
  const Readings expected = {12, -7, 32767, -32768, 0};
  for (std::size_t first = 0; first <= stream.size(); ++first) {
    for (std::size_t second = first; second <= stream.size(); ++second) {
      DecoderHarness h;
      h.decoder.OnSerialEvent(std::string_view(stream).substr(0, first));
      h.decoder.OnSerialEvent(std::string_view(stream).substr(first, second - first));
      h.decoder.OnSerialEvent(std::string_view(stream).substr(second));
      ASSERT_EQ(StoredReadings(h.store), expected) << "split at " << first << ", " << second;
      ASSERT_EQ(h.decoder.RxBuffer(), "5");
    }
  }
}

TEST(SerialLineDecoder, OverlongPartialLineIsDroppedUpToItsLineFeed) {
  DecoderHarness h;
  // A line of spaces and one digit is valid in form, but past the limit it is dropped whole.
  h.decoder.OnSerialEvent(std::string(SerialLineDecoder::kMaxPartialLine, ' '));
  EXPECT_EQ(h.decoder.RxBuffer().size(), SerialLineDecoder::kMaxPartialLine);
  for (int i = 0; i < 100; ++i) h.decoder.OnSerialEvent(" ");
  EXPECT_TRUE(h.decoder.RxBuffer().empty());
  h.decoder.OnSerialEvent("5");
  EXPECT_TRUE(h.decoder.RxBuffer().empty());
  h.decoder.OnSerialEvent("\n6\n7");
  EXPECT_EQ(StoredReadings(h.store), Readings{6});
  EXPECT_EQ(h.decoder.RxBuffer(), "7");
}

TEST(SerialLineDecoder, LineJustUnderTheLimitStillCounts) {
  DecoderHarness h;
  std::string line(SerialLineDecoder::kMaxPartialLine - 1, ' ');
  line += "8";
  h.decoder.OnSerialEvent(line);
  h.decoder.OnSerialEvent("\n");
  EXPECT_EQ(StoredReadings(h.store), Readings{8});
}

// A line that ends in the event that takes it past the limit is dropped too: the limit must not
// depend on how the bytes were split into events.
TEST(SerialLineDecoder, LineOverTheLimitIsDroppedHoweverItIsSplit) {
  const std::string stream = std::string(SerialLineDecoder::kMaxPartialLine, ' ') + "5\n6\n";
  for (const std::size_t split :
       {std::size_t{0}, std::size_t{1}, SerialLineDecoder::kMaxPartialLine}) {
    DecoderHarness h;
    h.decoder.OnSerialEvent(std::string_view(stream).substr(0, split));
    h.decoder.OnSerialEvent(std::string_view(stream).substr(split));
    EXPECT_EQ(StoredReadings(h.store), Readings{6}) << "split at " << split;
  }
}

TEST(SerialLineDecoder, FullStoreDropsReadingsAndSaysSo) {
  DecoderHarness h;
  for (int i = 0; i < SampleStore::kSampleCapacity - 1; ++i) h.store.AppendSample(1);
  const auto summary = h.decoder.OnSerialEvent("2\n3\n4\n");
  EXPECT_EQ(summary.stored, 1);
  EXPECT_EQ(summary.droppedFull, 2);
  EXPECT_EQ(h.store.SampleCount(), SampleStore::kSampleCapacity);
  EXPECT_EQ(h.store.LatestSample(), 2);
}

// Lines of random bytes (each starting with 0xFF, so none can be a reading) between known
// readings: only the known readings are stored, and the noise after the last line feed waits.
TEST(SerialLineDecoder, BinaryNoiseKeepsTheStoreConsistent) {
  const Readings known = {1023, -32768, 32767, 0, 4095, -5, 12, 2048};
  std::mt19937 random(7);
  const auto noise = [&random] {
    std::string bytes(1 + random() % 8000, '\xFF');
    for (std::size_t i = 1; i < bytes.size(); ++i) {
      bytes[i] = static_cast<char>(random() % 256);
      if (bytes[i] == '\n') bytes[i] = '\r';
    }
    return bytes;
  };
  std::string stream;
  Readings expected;
  for (int round = 0; round < 32; ++round) {
    for (const std::int16_t reading : known) {
      stream += noise() + "\n " + std::to_string(reading) + " \n";
      expected.push_back(reading);
    }
  }
  const std::string tail = noise();
  stream += tail;

  DecoderHarness h;
  for (std::size_t offset = 0; offset < stream.size(); offset += 4093) {
    h.decoder.OnSerialEvent(std::string_view(stream).substr(offset, 4093));
  }
  EXPECT_EQ(StoredReadings(h.store), expected);
  EXPECT_EQ(h.decoder.RxBuffer(), tail);
}

}  // namespace
}  // namespace ampelon
