#include "serial/line_settings.h"

#include <string>

#include <gtest/gtest.h>

namespace ampelon {
namespace {

using Parity = LineSettings::Parity;
using StopBits = LineSettings::StopBits;

struct GoodCase {
  std::string text;
  int baudRate;
  Parity parity;
  int dataBits;
  StopBits stopBits;
};

TEST(ParseLineSettingsTest, ReadsEveryFieldAndDefaultsMissingOnes) {
  const GoodCase cases[] = {
      {"19200,n,8,1", 19200, Parity::kNone, 8, StopBits::kOne},
      {"9600,E,7,2", 9600, Parity::kEven, 7, StopBits::kTwo},
      {"300,o,5,1.5", 300, Parity::kOdd, 5, StopBits::kOneAndHalf},
      {"1200,M,6,1", 1200, Parity::kMark, 6, StopBits::kOne},
      {"1200,s,8,1", 1200, Parity::kSpace, 8, StopBits::kOne},
      {" 115200 , N , 8 , 1 ", 115200, Parity::kNone, 8, StopBits::kOne},
      {"\t4800\t,e", 4800, Parity::kEven, 8, StopBits::kOne},
      {"2400", 2400, Parity::kNone, 8, StopBits::kOne},
      {"2400,o,7", 2400, Parity::kOdd, 7, StopBits::kOne},
      {"2147483647", 2147483647, Parity::kNone, 8, StopBits::kOne},
      {"00019200", 19200, Parity::kNone, 8, StopBits::kOne},
  };
  for (const GoodCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Result<LineSettings> result = ParseLineSettings(c.text);
    ASSERT_TRUE(result) << result.error();
    EXPECT_EQ(result->baudRate, c.baudRate);
    EXPECT_EQ(result->parity, c.parity);
    EXPECT_EQ(result->dataBits, c.dataBits);
    EXPECT_EQ(result->stopBits, c.stopBits);
  }
}

struct BadCase {
  std::string text;
  std::string error;
};

TEST(ParseLineSettingsTest, RejectsBadFieldsNamingTheField) {
  const BadCase cases[] = {
      {"abc,n,8,1", "Unsupported speed \"abc\""},
      {"", "Unsupported speed \"\""},
      {",n,8,1", "Unsupported speed \"\""},
      {"0,n,8,1", "Unsupported speed \"0\""},
      {"-9600,n,8,1", "Unsupported speed \"-9600\""},
      {"+9600", "Unsupported speed \"+9600\""},
      {"1e9x,n,8,1", "Unsupported speed \"1e9x\""},
      {"96 00,n,8,1", "Unsupported speed \"96 00\""},
      {"9600.5", "Unsupported speed \"9600.5\""},
      {"2147483648", "Unsupported speed \"2147483648\""},
      {"99999999999,n,8,1", "Unsupported speed \"99999999999\""},
      {"9600,x,8,1", "Unsupported parity \"x\""},
      {"9600,no,8,1", "Unsupported parity \"no\""},
      {"9600,,8,1", "Unsupported parity \"\""},
      {"9600,n,4,1", "Unsupported data bits \"4\""},
      {"9600,n,9,1", "Unsupported data bits \"9\""},
      {"9600,n,08,1", "Unsupported data bits \"08\""},
      {"9600,n,8,3", "Unsupported stop bits \"3\""},
      {"9600,n,8,1.0", "Unsupported stop bits \"1.0\""},
      {"9600,n,8,", "Unsupported stop bits \"\""},
      {"9600,n,8,1,x", "Too many fields in line settings \"9600,n,8,1,x\""},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Result<LineSettings> result = ParseLineSettings(c.text);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), c.error);
  }
}

}  // namespace
}  // namespace ampelon
