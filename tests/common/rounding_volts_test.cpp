#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/number_text.h"
#include "common/rounding.h"
#include "common/volts.h"

namespace ampelon {
namespace {

TEST(RoundToInt16, TiesGoToEvenAndTheRangeIsGuarded) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    std::optional<std::int16_t> expected;
  } cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {-3.5, -4},
      {0.5, 0},
      {-0.5, 0},
      {2.4999, 2},
      {7.0, 7},
      {32767.4, 32767},
      {32767.5, std::nullopt},
      {-32768.5, -32768},
      {-32769.0, std::nullopt},
      {40000.0, std::nullopt},
      {1e9, std::nullopt},
      {nan, std::nullopt},
      {infinity, std::nullopt},
      {-infinity, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundToInt16(c.value), c.expected) << "value " << c.value;
  }
}

TEST(Volts, ReferenceReadings) {
  EXPECT_EQ(Volts(0), 0.0f);
  EXPECT_EQ(Volts(1638), 1.0f);
  EXPECT_EQ(Volts(4095), 2.5f);
  const struct {
    std::int16_t reading;
    const char* text;
  } cases[] = {
      {2048, "1.250305"}, {2457, "1.5"}, {3276, "2"}, {-1, "-.0006105006"}, {32767, "20.00427"}};
  for (const auto& c : cases) {
    EXPECT_EQ(NumberText(Volts(c.reading)), c.text) << "reading " << c.reading;
  }
}

TEST(Volts, TableHoldsTheVoltsOfEveryReading) {
  const auto table = VoltsOfEveryReading();
  ASSERT_EQ(table.size(), 65536u);
  for (int reading = -32768; reading <= 32767; ++reading) {
    ASSERT_EQ(table[static_cast<std::size_t>(reading + 32768)],
              Volts(static_cast<std::int16_t>(reading)));
  }
}

// reading / 4095 x 2.5 worked out exactly, then rounded once to the nearest float: 1025 gives
// .625763125763..., whose nearest float is .6257631 (float arithmetic throughout gives
// .6257632); 32767 gives 20.0042735..., nearest float 20.004274 (float arithmetic: 20.004272).
TEST(Volts, RoundsOnceFromDoublePrecision) {
  const struct {
    std::int16_t reading;
    float volts;
  } cases[] = {
      {1, 0.00061050063f}, {819, 0.5f},           {1025, 0.6257631f},
      {1027, 0.6269841f},  {2047, 1.2496947f},    {4094, 2.4993894f},
      {32767, 20.004274f}, {-32767, -20.004274f}, {-32768, -20.004885f},
  };
  for (const auto& c : cases) EXPECT_EQ(Volts(c.reading), c.volts) << "reading " << c.reading;
}

}  // namespace
}  // namespace ampelon
