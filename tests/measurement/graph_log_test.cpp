#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "measurement/byte_source.h"
#include "measurement/graph_log_parser.h"
#include "measurement/graph_log_reader.h"
#include "measurement/graph_log_writer.h"

namespace ampelon {
namespace {

using Readings = std::vector<std::int16_t>;

GraphLogParser Parse(const std::string& bytes, std::size_t capacity = 100000) {
  GraphLogParser parser(capacity);
  parser.Feed(bytes);
  parser.Finish();
  return parser;
}

TEST(GraphLogWriter, WritesEachReadingAndCrLf) {
  EXPECT_EQ(FormatGraphLog(Readings{1, -1, 4095}), "1\r\n-1\r\n4095\r\n");
  EXPECT_EQ(FormatGraphLog(Readings{512, -3, 0}).size(), 12u);
  EXPECT_EQ(FormatGraphLog(Readings{}), "");
  EXPECT_EQ(FormatGraphLog(Readings{-32768, 32767}), "-32768\r\n32767\r\n");
}

TEST(GraphLogParser, ReadingRules) {
  const struct {
    std::string bytes;
    Readings expected;
  } cases[] = {
      {"1\r\n2\r\n3\r\n", {1, 2, 3}},
      {"1\r\n2", {1, 2}},             // last line without an ending
      {"1\r\n\r\n3\r\n", {1, 0, 3}},  // empty line gives 0
      {"  7  \r\nabc\r\n12abc\r\n", {7, 0, 12}},
      {"2.5\r\n3.5\r\n-2.5\r\n", {2, 4, -2}},  // ties to even
      {"1\r2\r3", {1, 2, 3}},                  // lone CR
      {"1\n2\n3\n", {1, 2, 3}},                // lone LF ends a line too
      {"1\n\r2", {1, 0, 2}},                   // LF CR: two endings
      {"\r\n", {0}},
      {"", {}},
      {"\xEF\xBB\xBF"
       "5\r\n",
       {5}},  // UTF-8 byte order mark
      {"1e3\r\n&H10\r\n-0\r\n", {1000, 16, 0}},
  };
  for (const auto& c : cases) {
    const auto parser = Parse(c.bytes);
    EXPECT_EQ(parser.Readings(), c.expected) << "bytes: " << c.bytes;
    EXPECT_EQ(parser.GetFailure(), GraphLogParser::Failure::kNone) << c.bytes;
  }
}

TEST(GraphLogParser, EverySplitGivesTheSameReadings) {
  const std::string bytes =
      "\xEF\xBB\xBF"
      "12\r\n-7\r\r\n\n4095\r\n3.5\r\n99999\r\n0";
  const Readings expected = Parse(bytes).Readings();
  ASSERT_EQ(expected, (Readings{12, -7, 0, 0, 4095, 4, 0}));
  for (std::size_t split = 0; split <= bytes.size(); ++split) {
    GraphLogParser parser(100000);
    parser.Feed(std::string_view(bytes).substr(0, split));
    parser.Feed(std::string_view(bytes).substr(split));
    parser.Finish();
    ASSERT_EQ(parser.Readings(), expected) << "split at " << split;
  }
}

TEST(GraphLogParser, OutOfRangeLinesAreSkippedAndCounted) {
  const auto parser = Parse("1\r\n40000\r\n2\r\n-32769\r\n1e9\r\n32767\r\n");
  EXPECT_EQ(parser.Readings(), (Readings{1, 2, 32767}));
  EXPECT_EQ(parser.SkippedLines(), 3);
  EXPECT_EQ(parser.FirstSkippedLine(), 2);
}

TEST(GraphLogParser, StopsAtCapacityAndCountsTheLinesLeftOut) {
  GraphLogParser parser(3);
  EXPECT_FALSE(parser.Feed("1\r\n2\r\n3\r\n4\r\n5\r\n6"));
  parser.Finish();
  EXPECT_EQ(parser.Readings(), (Readings{1, 2, 3}));
  EXPECT_TRUE(parser.Full());
  EXPECT_EQ(parser.LinesLeftOut(), 3);
}

TEST(GraphLogParser, BinaryAndOverlongInputIsNoGraphLog) {
  const struct {
    std::string bytes;
    GraphLogParser::Failure failure;
    Readings beforeFailure;
  } cases[] = {
      {std::string("1\r\n2\0\r\n", 7), GraphLogParser::Failure::kNotText, {1}},
      {std::string("\xFF\xFE"
                   "1\0\r\0\n\0",
                   8),
       GraphLogParser::Failure::kNotText,
       {}},
      {"\xFE\xFF", GraphLogParser::Failure::kNotText, {}},
      // The failure is final, also for the line endings held back with the first bytes.
      {std::string("\0\r\n7\r\n", 6), GraphLogParser::Failure::kNotText, {}},
      {std::string(GraphLogParser::kLongestLine + 1, '7'),
       GraphLogParser::Failure::kLineTooLong,
       {}},
  };
  for (const auto& c : cases) {
    const auto parser = Parse(c.bytes);
    EXPECT_EQ(parser.GetFailure(), c.failure) << c.bytes.substr(0, 8);
    EXPECT_EQ(parser.Readings(), c.beforeFailure) << c.bytes.substr(0, 8);
  }
}

// An endless file of "1" lines: a gigabyte would be no different.
class EndlessLines final : public ByteSource {
 public:
  Result<std::size_t> Read(std::span<char> buffer) override {
    for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = "1\r\n"[(m_bytes + i) % 3];
    m_bytes += buffer.size();
    return buffer.size();
  }
  std::size_t m_bytes = 0;
};

TEST(GraphLogReader, AHugeFileIsNotReadToItsEnd) {
  EndlessLines file;
  GraphLogParser parser(100000);
  const Result<GraphLogReadOutcome> outcome = ReadGraphLog(file, parser, 1 << 20);
  ASSERT_TRUE(outcome);
  EXPECT_FALSE(outcome->readToEnd);
  EXPECT_EQ(parser.Readings().size(), 100000u);
  EXPECT_LT(file.m_bytes, 300000u + (1u << 20) + 65536u);
  EXPECT_GT(parser.LinesLeftOut(), 300000);
}

TEST(GraphLogFile, SavedReadingsLoadBackIdentically) {
  Readings readings;
  for (int value = -32768; value <= 32767; value += 251) {
    readings.push_back(static_cast<std::int16_t>(value));
  }
  readings.push_back(32767);
  EXPECT_EQ(Parse(FormatGraphLog(readings)).Readings(), readings);
}

}  // namespace
}  // namespace ampelon
