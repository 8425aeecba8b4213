#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

#include "common/german_locale.h"
#include "viewer/byte_sink.h"
#include "viewer/charge.h"
#include "viewer/csv_export.h"

namespace ampelon {
namespace {

class TextSink final : public ByteSink {
 public:
  Result<void> Write(std::string_view bytes) override {
    if (m_failAfter-- == 0) return Failure{"No space left on device"};
    text += bytes;
    ++writes;
    return {};
  }
  std::string text;
  int writes = 0;
  int m_failAfter = -1;
};

TEST(CsvExport, RowsWithTimesWhereKnown) {
  testing::UseGermanLocale();  // "." whatever the locale
  const double unknown = std::numeric_limits<double>::quiet_NaN();
  const Charge charge{{2048, 4095, 0, -1}, {0.1, unknown, 3600.25, 86400.0005}};
  TextSink sink;
  ASSERT_TRUE(WriteCsv(charge, 0, 4, sink));
  EXPECT_EQ(sink.text,
            "sample,seconds,count,volts\r\n"
            "1,0.100,2048,1.2503\r\n"
            "2,,4095,2.5000\r\n"
            "3,3600.250,0,0.0000\r\n"
            "4,86400.000,-1,-0.0006\r\n");
  std::setlocale(LC_ALL, "C");
  TextSink range;
  ASSERT_TRUE(WriteCsv(Charge{{1, 2, 3}, {}}, 1, 99, range));  // the range in view, no times
  EXPECT_EQ(range.text, "sample,seconds,count,volts\r\n2,,2,0.0012\r\n3,,3,0.0018\r\n");
}

TEST(CsvExport, ALongChargeIsWrittenInPiecesAndAFailureStopsIt) {
  Charge charge;
  charge.counts.assign(100000, 1000);
  TextSink sink;
  ASSERT_TRUE(WriteCsv(charge, 0, charge.counts.size(), sink));
  EXPECT_GT(sink.writes, 2);
  EXPECT_TRUE(sink.text.ends_with("\r\n100000,,1000,0.6105\r\n"));
  TextSink full;
  full.m_failAfter = 1;
  const Result<void> written = WriteCsv(charge, 0, charge.counts.size(), full);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error(), "No space left on device");
  EXPECT_EQ(full.writes, 1);
}

// Times come bounded from files; one that is not (10^300 s) fails the export rather than
// writing what to_chars could not.
TEST(CsvExport, ATimeThatCannotBeWrittenFailsTheExport) {
  TextSink sink;
  const Result<void> written = WriteCsv(Charge{{1, 2}, {0.5, 1e300}}, 0, 2, sink);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error(), "The time of sample 2 (1e+300 s) cannot be written.");
  EXPECT_EQ(sink.text.find('\0'), std::string::npos);
}

}  // namespace
}  // namespace ampelon
