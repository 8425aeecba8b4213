#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fakes/fake_graph_file_access.h"
#include "measurement/byte_source.h"
#include "measurement/times_parser.h"
#include "viewer/charge_file.h"
#include "viewer/csv_export.h"
#include "viewer/reading_intervals.h"

namespace ampelon {
namespace {

using namespace std::string_literals;
using Readings = std::vector<std::int16_t>;

Result<ChargeFile> Read(const std::string& bytes, std::size_t failReadsAfter = -1) {
  testing::FakeGraphFileAccess files;
  files.Put("c.log", bytes);
  files.FailReadsAfter(failReadsAfter);
  return ReadChargeFile(**files.OpenForReading("c.log"), "c.log");
}

// NaN where a time is unknown, so that tables can compare whole vectors.
std::vector<double> WithTimes(const std::string& times, std::size_t readings) {
  Charge charge;
  charge.counts.assign(readings, 0);
  testing::FakeGraphFileAccess files;
  files.Put("c.times", times);
  EXPECT_TRUE(ReadChargeTimes(**files.OpenForReading("c.times"), charge));
  for (double& s : charge.seconds) s = std::isnan(s) ? -1 : s;
  return charge.seconds;
}

TEST(ChargeFile, ReadsAnyLengthByLoadGraphsRules) {
  std::string million;
  for (int i = 0; i < 250000; ++i) million += "1\r\n2\r\n3\r\n4\r\n";
  const auto read = Read(million);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->charge.counts.size(), 1000000u);  // far past the store's 100000
  EXPECT_EQ(read->charge.counts[999999], 4);
  EXPECT_EQ(read->notes, "");
  EXPECT_TRUE(read->charge.seconds.empty());
}

TEST(ChargeFile, BadLinesAndReasons) {
  const struct {
    std::string bytes;
    Readings readings;   // empty with a failure
    std::string reason;  // the failure, or the notes
  } cases[] = {
      {"1\r\n2\r\n\0\r\n9\r\n"s,
       {1, 2},
       "c.log is not a graph log from line 3 on: it holds binary data (NUL bytes or UTF-16 "
       "text). Only the lines before it were read."},
      {"\xFF\xFE"
       "1\r\n",
       {},
       "c.log is not a graph log: it holds binary data (NUL bytes or UTF-16 text)."},
      {std::string(2 << 20, '7'), {}, "c.log is not a graph log: line 1 is longer than 1 MiB."},
      {"5\r\n40000\r\n6\r\n99999\r\n",
       {5, 6},
       "2 lines were skipped because the value lies outside -32768..32767 (the first at line "
       "2)."},
      // A CSV or a log of volts would read as something else: nothing of it is shown.
      {"time,volts\r\n0,1.21\r\n",
       {},
       "c.log is not a graph log: line 1 holds a comma (\"time,volts\"), where a graph log "
       "holds one whole number a line."},
      {"1\r\n\r\n \r\n1.4823\r\n",
       {},
       "c.log is not a graph log: line 4 holds a decimal point (\"1.4823\"), where a graph log "
       "holds one whole number a line."},
      {"\xFF\xFEt\0,\0v\0"s,  // UTF-16 text is told as binary data, commas or not
       {},
       "c.log is not a graph log: it holds binary data (NUL bytes or UTF-16 text)."},
      {"1\r\n2\r\n3\r\n\r\n4\r\n5\r\n6.5\r\n", {1, 2, 3, 0, 4, 5, 6}, ""},  // past the first five
      // The viewer's own export is read as what it is.
      {"sample,seconds,count,volts\n7,1.500,2048,1.2503\n8,,-3,-0.0018", {2048, -3}, ""},
      {"sample,seconds,count,volts\r\n1,,5,0\r\n2,,x,0\r\n3,,6,0\r\n",
       {5},
       "c.log is not a CSV export of Ampelon Viewer from line 3 on: its count is no whole number "
       "within -32768..32767. Only the lines before it were read."},
      {"sample,seconds,count,volts\r\n1,1e3,5,0\r\n",
       {},
       "c.log is not a CSV export of Ampelon Viewer: line 2: its seconds are no time."},
  };
  for (const auto& c : cases) {
    const auto read = Read(c.bytes);
    if (c.readings.empty()) {
      ASSERT_FALSE(read);
      EXPECT_EQ(read.error(), c.reason);
    } else {
      ASSERT_TRUE(read) << read.error();
      EXPECT_EQ(read->charge.counts, c.readings);
      EXPECT_EQ(read->notes, c.reason);
    }
  }
  const auto failing = Read("1\r\n2\r\n", 3);
  ASSERT_FALSE(failing);
  EXPECT_EQ(failing.error(), "Could not read c.log:\nInput/output error");
}

// Without a stop the share read only grows, to the whole of both files. Asked to stop (before
// the first piece, in the log, in its times), the reading ends at once with no charge.
TEST(ChargeFile, LoadingTellsItsProgressAndStopsWhenAsked) {
  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) / "ampelon-charge-file-test";
  std::filesystem::create_directories(folder);
  std::string log;
  std::string times;
  for (int i = 0; i < 30000; ++i) {  // several pieces of 64 KiB each
    log += "1234\r\n";
    times += "1.5\r\n";
  }
  std::ofstream(folder / "c.log", std::ios::binary) << log;
  std::ofstream(folder / "c.times", std::ios::binary) << times;
  for (const double stopAt : {2.0, 0.0, 0.2, 0.8}) {
    std::atomic<bool> cancel{stopAt == 0};
    std::vector<double> shares;
    const auto loaded = LoadChargeFile(
        folder / "c.log",
        [&](double share) {
          shares.push_back(share);
          if (share >= stopAt) cancel = true;
        },
        &cancel);
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end())) << stopAt;
    if (stopAt > 1) {
      ASSERT_TRUE(loaded) << loaded.error();
      EXPECT_EQ(loaded->charge.seconds.size(), 30000u);
      EXPECT_EQ(shares.back(), 1.0);
      continue;
    }
    ASSERT_FALSE(loaded) << stopAt;
    EXPECT_EQ(loaded.error(), kReadCancelled);
    // Nothing read after the piece that asked to stop.
    EXPECT_EQ(std::count_if(shares.begin(), shares.end(), [&](double s) { return s >= stopAt; }),
              stopAt == 0 ? 0 : 1)
        << stopAt;
  }
  std::filesystem::remove_all(folder);
}

// An export opens as the charge it was written from: the same counts and times.
TEST(ChargeFile, ACsvExportReadsBackAsItsCharge) {
  const Charge charge{{2048, -1, 0, 4095}, {0.1, NAN, 3600.25, 999999999999.999}};
  testing::FakeGraphFileAccess files;
  for (const bool times : {true, false}) {
    const Charge written{charge.counts, times ? charge.seconds : std::vector<double>{}};
    std::string csv;
    ASSERT_TRUE(AppendCsvRows(written, 0, 4, csv));
    files.Put("c.csv", kCsvHeader + csv);
    const auto read = ReadChargeFile(**files.OpenForReading("c.csv"), "c.csv");
    ASSERT_TRUE(read) << read.error();
    EXPECT_TRUE(read->timesWithin);
    EXPECT_EQ(read->charge.counts, charge.counts);
    const std::vector<double>& seconds = read->charge.seconds;
    ASSERT_EQ(seconds.size(), times ? 4u : 0u);
    for (std::size_t i = 0; i < seconds.size(); ++i) {
      EXPECT_TRUE(seconds[i] == charge.seconds[i] ||
                  (std::isnan(seconds[i]) && std::isnan(charge.seconds[i])))
          << i;
    }
  }
}

// The last hundred files given an interval, newest last: using one again makes it the newest.
TEST(ReadingIntervals, TheLastHundredFilesAreKept) {
  const std::string file = ::testing::TempDir() + "ampelon-reading-intervals.ini";
  std::ofstream(file, std::ios::binary) << "[General]\nLast%20Path=/data/\n";
  ReadingIntervals intervals(file);
  for (int i = 0; i <= 100; ++i) {
    ASSERT_TRUE(
        intervals.Remember(std::string("c").append(std::to_string(i)).append(".log"), 0.5 + i));
    if (i == 99) {
      ASSERT_TRUE(intervals.Remember("c0.log", 2));
    }
  }
  EXPECT_EQ(intervals.Of("c0.log"), 2.0);
  EXPECT_EQ(intervals.Of("c1.log"), std::nullopt);
  EXPECT_EQ(intervals.Of("c100.log"), 100.5);
  ASSERT_TRUE(intervals.Remember("c100.log", std::nullopt));
  EXPECT_EQ(intervals.Of("c100.log"), std::nullopt);
  std::ifstream read(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(read)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(text.starts_with("[General]\nLast%20Path=/data/\n")) << text;
  read.close();  // Windows removes no file that is open
  std::filesystem::remove(file);
}

TEST(ChargeTimes, TimesOnlyWhereTheyMatch) {
  const struct {
    std::string times;
    std::size_t readings;
    std::vector<double> seconds;  // -1: unknown
  } cases[] = {
      {"0.100\r\n1.100\r\n2.100\r\n", 3, {0.1, 1.1, 2.1}},
      {"0.100\r\n1.100\r\n", 4, {0.1, 1.1, -1, -1}},          // shorter
      {"0.100\r\n1.100\r\n2.100\r\n3.1\r\n", 2, {0.1, 1.1}},  // longer
      {"\r\n\r\n5.000\r\n", 3, {-1, -1, 5}},                  // loaded readings, then live ones
      {"1.5\r\nabc\r\n-2\r\n1e3\r\ninf\r\n 7.25 \r\n1.2.3\r\n", 7, {1.5, -1, -1, -1, -1, 7.25, -1}},
      {"1\n2\r3\r\n4", 4, {1, 2, 3, 4}},  // any line ending, a last line without one
      {std::string(100, '9') + "\r\n2\r\n", 2, {-1, 2}},  // an endless number is no time
      {"\r\n\r\n", 2, {}},                                // no time at all: no times
      {"x\0y\r\n"s, 1, {}},
      {"1\r\n2\r\n\0\r\n4\r\n"s, 4, {1, 2, -1, -1}},  // a NUL ends the times
      // Only times that an export can write back: below 10^12 s.
      {"1.5\r\n" + std::string(61, '9') + "\r\n" + std::string(64, '9') + "\r\n1" +
           std::string(59, '0') + "\r\n999999999999.999\r\n1000000000000\r\n999999999999.9996\r\n",
       7,
       {1.5, -1, -1, -1, 999999999999.999, -1, -1}},
  };
  for (const auto& c : cases) EXPECT_EQ(WithTimes(c.times, c.readings), c.seconds) << c.times;
}

// A times file of `start` followed by `filler` up to 256 MiB (a sparse file reads as NULs),
// counting the bytes read.
class HugeTimes final : public ByteSource {
 public:
  HugeTimes(std::string start, char filler) : m_start(std::move(start)), m_filler(filler) {}
  Result<std::size_t> Read(std::span<char> buffer) override {
    const std::size_t count = std::min(buffer.size(), (std::size_t{256} << 20) - m_bytes);
    for (std::size_t i = 0; i < count; ++i, ++m_bytes) {
      buffer[i] = m_bytes < m_start.size() ? m_start[m_bytes] : m_filler;
    }
    return count;
  }
  std::size_t m_bytes = 0;

 private:
  std::string m_start;
  char m_filler;
};

TEST(ChargeTimes, AHugeTimesFileIsReadOnlyAsFarAsTheReadingsGo) {
  for (const char filler : {'\0', 'x', '\n', '7'}) {
    HugeTimes times("1.5\r\n", filler);
    Charge charge{{1, 2}, {}};
    ASSERT_TRUE(ReadChargeTimes(times, charge));
    ASSERT_EQ(charge.seconds.size(), 2u) << int{filler};
    EXPECT_EQ(charge.seconds[0], 1.5) << int{filler};
    EXPECT_TRUE(std::isnan(charge.seconds[1])) << int{filler};
    EXPECT_LT(times.m_bytes, std::size_t{1} << 20) << int{filler};
  }
}

TEST(ChargeTimes, EverySplitGivesTheSameTimes) {
  const std::string bytes = "1.5\r\n\r\n2.25\r\r\n3\n";
  for (std::size_t split = 0; split <= bytes.size(); ++split) {
    TimesParser parser;
    parser.Feed(bytes.substr(0, split));
    parser.Feed(bytes.substr(split));
    parser.Finish();
    ASSERT_EQ(parser.Seconds().size(), 5u) << split;
    EXPECT_EQ(parser.Seconds()[2], 2.25) << split;
    EXPECT_TRUE(std::isnan(parser.Seconds()[3])) << split;
  }
}

TEST(ChargeTimes, FileNameBesideTheLog) {
  const struct {
    const char* log;
    const char* times;
  } cases[] = {
      {"/data/charge.log", "/data/charge.times"},
      {"C:\\data\\run.1.log", "C:\\data\\run.1.times"},
      {"/data.d/charge", "/data.d/charge.times"},
      {"/data/.log", "/data/.log.times"},
  };
  for (const auto& c : cases) EXPECT_EQ(TimesFileFor(c.log), c.times);
}

}  // namespace
}  // namespace ampelon
