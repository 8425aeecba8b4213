#include "chart/axis_labels.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace ampelon {
namespace {

using Texts = std::array<std::string, 7>;

TEST(AxisLabels, DivideTheWindowIntoSixSteps) {
  VoltageWindow moved = VoltageWindow::AtStart(0.3f);
  moved.FollowReading(0.95f);
  const struct {
    VoltageWindow window;
    Texts texts;
  } rows[] = {
      {VoltageWindow::AtStart(0.3f),
       {"1.00V", "1.05V", "1.10V", "1.15V", "1.20V", "1.25V", "1.30V"}},
      {VoltageWindow::AtStart(0.1f),
       {"1.20V", "1.22V", "1.23V", "1.25V", "1.27V", "1.28V", "1.30V"}},
      {VoltageWindow::AtStart(0.5f),
       {"0.80V", "0.88V", "0.97V", "1.05V", "1.13V", "1.22V", "1.30V"}},
      {VoltageWindow::AtStart(0.9f),
       {"0.40V", "0.55V", "0.70V", "0.85V", "1.00V", "1.15V", "1.30V"}},
      {moved, {"0.80V", "0.85V", "0.90V", "0.95V", "1.00V", "1.05V", "1.10V"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.window.rangeVolts);
    EXPECT_EQ(AxisLabelTexts(row.window), row.texts);
  }
}

TEST(AxisLabels, UseTheGivenDecimalSeparator) {
  const Texts texts = AxisLabelTexts(VoltageWindow::AtStart(0.3f), ',');
  EXPECT_EQ(texts[0], "1,00V");
  EXPECT_EQ(texts[6], "1,30V");
  EXPECT_EQ(AxisLabelText(-0.4f, ','), "-0,40V");
}

TEST(AxisLabels, RoundHalvesAwayFromZero) {
  const struct {
    float volts;
    const char* text;
  } rows[] = {
      {0.125f, "0.13V"}, {-0.125f, "-0.13V"}, {0.375f, "0.38V"},     {0.0f, "0.00V"},
      {-0.0f, "0.00V"},  {-0.004f, "0.00V"},  {-0.4f, "-0.40V"},     {-1.3f, "-1.30V"},
      {2.999f, "3.00V"}, {9.995f, "9.99V"},   {123.456f, "123.46V"},
  };
  for (const auto& row : rows) EXPECT_EQ(AxisLabelText(row.volts), row.text) << row.volts;
}

TEST(AxisLabels, NonsenseValuesStillGiveReadableText) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  for (float volts : {kInf, -kInf, std::numeric_limits<float>::quiet_NaN(), 1e12f, -3e38f,
                      std::numeric_limits<float>::max(), 9.9e11f}) {
    const std::string text = AxisLabelText(volts);
    SCOPED_TRACE(text);
    EXPECT_GE(text.size(), 2u);
    EXPECT_LE(text.size(), 20u);
    EXPECT_EQ(text.back(), 'V');
  }
  const Texts texts = AxisLabelTexts({kInf, -kInf, 0.3f});
  for (const auto& text : texts) EXPECT_EQ(text.back(), 'V');
}

}  // namespace
}  // namespace ampelon
