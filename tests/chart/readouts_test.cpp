#include "chart/readouts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace ampelon {
namespace {

TEST(Readouts, CurrentValueKeepsFiveCharactersOfTheVolts) {
  const struct {
    std::int16_t reading;
    const char* text;
  } rows[] = {
      {2048, "1.250V [2048]"}, {819, ".5V [819]"},        {1000, ".6105V [1000]"},
      {3276, "2V [3276]"},     {4095, "2.5V [4095]"},     {0, "0V [0]"},
      {4094, "2.499V [4094]"}, {-2048, "-1.25V [-2048]"},
  };
  for (const auto& row : rows) EXPECT_EQ(CurrentValueText(row.reading), row.text);
}

TEST(Readouts, CurrentValueOfTinyReadingsHasNoExponent) {
  for (std::int16_t reading : {1, -1, 2, -3}) {
    const std::string text = CurrentValueText(reading);
    const std::string tail = "V [" + std::to_string(reading) + "]";
    SCOPED_TRACE(text);
    EXPECT_EQ(text.find_first_of("Ee"), std::string::npos);
    ASSERT_GT(text.size(), tail.size());
    EXPECT_LE(text.size() - tail.size(), 5u);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  }
}

TEST(Readouts, ChargeTimeInWholeMinutesAndSeconds) {
  const struct {
    double seconds;
    const char* text;
  } rows[] = {
      {125, "2 min, 5 sec"},     {3599, "59 min, 59 sec"},      {3600, "60 min, 0 sec"},
      {0.9, "0 min, 0 sec"},     {0, "0 min, 0 sec"},           {59.999, "0 min, 59 sec"},
      {60, "1 min, 0 sec"},      {32767, "546 min, 7 sec"},     {32768, "546 min, 8 sec"},
      {36005, "600 min, 5 sec"}, {86399.5, "1439 min, 59 sec"},
  };
  for (const auto& row : rows) EXPECT_EQ(ChargeTimeText(row.seconds), row.text) << row.seconds;
}

TEST(Readouts, ChargeTimeOfGarbageStillReads) {
  for (double seconds :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), 1e300, -1e300}) {
    const std::string text = ChargeTimeText(seconds);
    EXPECT_NE(text.find(" min, "), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with(" sec")) << text;
  }
}

}  // namespace
}  // namespace ampelon
