#include "common/leading_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "common/german_locale.h"

namespace ampelon {
namespace {

struct LeadingNumberCase {
  std::string text;
  double expected;
};

class LeadingNumberTest : public ::testing::TestWithParam<LeadingNumberCase> {};

TEST_P(LeadingNumberTest, ReadsTheNumberAtTheStart) {
  const auto& param = GetParam();
  EXPECT_EQ(LeadingNumber(param.text), param.expected) << "text: \"" << param.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, LeadingNumberTest,
    ::testing::Values(
        // No number at all.
        LeadingNumberCase{"", 0.0}, LeadingNumberCase{"abc", 0.0}, LeadingNumberCase{"-", 0.0},
        LeadingNumberCase{".", 0.0}, LeadingNumberCase{"--5", 0.0}, LeadingNumberCase{"+-5", 0.0},
        // Plain numbers and what stops them.
        LeadingNumberCase{"4000", 4000.0}, LeadingNumberCase{"12abc", 12.0},
        LeadingNumberCase{"+7", 7.0}, LeadingNumberCase{"-60", -60.0}, LeadingNumberCase{".3", 0.3},
        LeadingNumberCase{"-.5", -0.5}, LeadingNumberCase{"1.5.5", 1.5},
        LeadingNumberCase{"5.", 5.0}, LeadingNumberCase{"1,5", 1.0}, LeadingNumberCase{"1\r2", 1.0},
        // Blanks, tabs and line feeds are skipped anywhere, even inside the number.
        LeadingNumberCase{"  \t7  ", 7.0}, LeadingNumberCase{"1 2", 12.0},
        LeadingNumberCase{"1\n2\n3\n", 123.0}, LeadingNumberCase{"- 5", -5.0},
        LeadingNumberCase{"1 e 3", 1000.0}, LeadingNumberCase{". 2 5", 0.25},
        // Exponents with E or D; an exponent without digits is not part of the number.
        LeadingNumberCase{"1e3", 1000.0}, LeadingNumberCase{"1E+3", 1000.0},
        LeadingNumberCase{"2.5D-1", 0.25}, LeadingNumberCase{"2.5d1", 25.0},
        LeadingNumberCase{"1e", 1.0}, LeadingNumberCase{"1e+", 1.0}, LeadingNumberCase{"1ex", 1.0},
        // Hexadecimal and octal whole numbers.
        LeadingNumberCase{"&HFF", 255.0}, LeadingNumberCase{"&hff", 255.0},
        LeadingNumberCase{"&H 1 0", 16.0}, LeadingNumberCase{"&O17", 15.0},
        LeadingNumberCase{"&o789", 7.0}, LeadingNumberCase{"&H", 0.0},
        LeadingNumberCase{"&X12", 0.0}, LeadingNumberCase{"&HFFFFFF", 16777215.0},
        // Out of range: infinities and zero, never garbage.
        LeadingNumberCase{"1e-999", 0.0},
        LeadingNumberCase{"0." + std::string(400, '0') + "1", 0.0},
        LeadingNumberCase{"0." + std::string(400, '0') + "1e500", 1e99}));

TEST(LeadingNumber, TellsATextWithoutANumberFromZero) {
  for (const char* text : {"", "abc", "-", ".", " . ", "&H", "&X12", "nan", "e5"}) {
    EXPECT_FALSE(LeadingNumberIfAny(text).has_value()) << text;
  }
  const std::pair<const char*, double> numbers[] = {
      {"0", 0.0}, {"-.0", 0.0}, {"&H0", 0.0}, {"0abc", 0.0}, {"1e", 1.0}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(LeadingNumberIfAny(text), value) << text;
}

TEST(LeadingNumber, HugeValuesBecomeInfinityOfTheirSign) {
  const double infinity = std::numeric_limits<double>::infinity();
  EXPECT_EQ(LeadingNumber("1e999"), infinity);
  EXPECT_EQ(LeadingNumber("-1e999"), -infinity);
  EXPECT_EQ(LeadingNumber("1" + std::string(400, '0')), infinity);
  EXPECT_EQ(LeadingNumber("1e99999999999999999999"), infinity);
  EXPECT_EQ(LeadingNumber("1e-99999999999999999999"), 0.0);
}

TEST(LeadingNumber, DecimalPointIgnoresTheLocale) {
  if (!testing::UseGermanLocale()) {
    GTEST_SKIP() << "no German locale installed";
  }
  const double value = LeadingNumber("0.3");
  const double comma = LeadingNumber("0,3");
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(value, 0.3);
  EXPECT_EQ(comma, 0.0);
}

}  // namespace
}  // namespace ampelon
