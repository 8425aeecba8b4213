#include "common/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>

#include "common/german_locale.h"

namespace ampelon {
namespace {

TEST(NumberText, SinglePrecisionTable) {
  const struct {
    float value;
    const char* expected;
  } cases[] = {
      {0.3f, ".3"},
      {-0.5f, "-.5"},
      {4000.0f, "4000"},
      {-60.0f, "-60"},
      {0.0f, "0"},
      {-0.0f, "0"},
      {1.3f, "1.3"},
      {0.1f, ".1"},
      {1.25f, "1.25"},
      {1.0f / 3, ".3333333"},
      {2.0f / 3, ".6666667"},
      {0.99999994f, ".9999999"},
      {1234567.0f, "1234567"},
      {12345678.0f, "1.234568E+07"},
      {-0.0006105006f, "-.0006105006"},
      {20.00427f, "20.00427"},
      {35999.9f, "35999.9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberText(c.value), c.expected) << "value " << c.value;
  }
}

TEST(NumberText, DoublePrecisionKeepsFifteenDigits) {
  EXPECT_EQ(NumberText(0.1 + 0.2), ".3");
  EXPECT_EQ(NumberText(1.0 / 3), ".333333333333333");
  EXPECT_EQ(NumberText(123456789012.5), "123456789012.5");
  EXPECT_EQ(NumberText(-2.5), "-2.5");
  EXPECT_EQ(NumberText(static_cast<double>(0.3f)), ".300000011920929");
  // Rounded up, the largest double would read back as infinity.
  EXPECT_EQ(NumberText(std::numeric_limits<double>::max()), "1.79769313486231E+308");
  EXPECT_EQ(NumberText(-std::numeric_limits<double>::max()), "-1.79769313486231E+308");
}

TEST(NumberText, WholeNumbersOfAnyIntegerType) {
  EXPECT_EQ(NumberText(std::int16_t{-32768}), "-32768");
  EXPECT_EQ(NumberText(0), "0");
  EXPECT_EQ(NumberText(4095), "4095");
}

TEST(NumberText, NonFiniteValuesGiveReadableText) {
  EXPECT_EQ(NumberText(std::numeric_limits<float>::quiet_NaN()), "NaN");
  EXPECT_EQ(NumberText(-std::numeric_limits<double>::infinity()), "-Inf");
}

TEST(NumberText, DecimalPointIgnoresTheLocale) {
  if (!testing::UseGermanLocale()) {
    GTEST_SKIP() << "no German locale installed";
  }
  const std::string text = NumberText(0.3f);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(text, ".3");
}

}  // namespace
}  // namespace ampelon
