#include "chart/voltage_window.h"

#include <gtest/gtest.h>

namespace ampelon {
namespace {

TEST(VoltageWindow, StartWindowHangsFromOnePointThree) {
  const VoltageWindow window = VoltageWindow::AtStart(0.3f);
  EXPECT_EQ(window.upperVolts, 1.3f);
  EXPECT_EQ(window.lowerVolts, static_cast<float>(1.3f - static_cast<double>(0.3f)));
  EXPECT_EQ(window.lowerVolts, 0.99999994f);
  EXPECT_EQ(window.rangeVolts, 0.3f);
}

TEST(VoltageWindow, FollowsReadingsThatLeaveIt) {
  struct Row {
    float range;
    float reading;
    float lower;
    float upper;
    int moves;
  };
  // Where the rule lands an end on its own 0.1 V step that end is exact; the other end is the
  // step plus or minus the height, rounded once.
  const Row rows[] = {
      {0.3f, 0.95f, 0.8f, 1.1f, 1},        {0.3f, 1.37f, 1.1f, 1.4f, 1},
      {0.3f, 0.25f, 0.1f, 0.4f, 1},        {0.3f, 2.35f, 2.1f, 2.4f, 1},
      {0.1f, 0.95f, 0.9f, 1.0f, 2},        {0.1f, 0.5f, 0.4f, 0.5f, 1},
      {0.3f, 0.15f, 0.99999994f, 1.3f, 0},  // too low to follow
      {0.3f, 0.2f, 0.99999994f, 1.3f, 0},   // the floor itself does not move it
      {0.3f, 2.45f, 0.99999994f, 1.3f, 0},  // too high to follow
      {0.3f, 1.0f, 0.99999994f, 1.3f, 0},   // just above the bottom
      {0.3f, 1.3f, 0.99999994f, 1.3f, 0},   // on the top
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "range " << row.range << " reading " << row.reading);
    VoltageWindow window = VoltageWindow::AtStart(row.range);
    EXPECT_EQ(window.FollowReading(row.reading), row.moves);
    EXPECT_FLOAT_EQ(window.lowerVolts, row.lower);
    EXPECT_FLOAT_EQ(window.upperVolts, row.upper);
    EXPECT_EQ(window.rangeVolts, row.range);
  }
}

TEST(VoltageWindow, NewEndLandsExactlyOnTheStep) {
  VoltageWindow window = VoltageWindow::AtStart(0.3f);
  window.FollowReading(0.95f);
  EXPECT_EQ(window.lowerVolts, static_cast<float>(0.8));
  EXPECT_EQ(window.upperVolts, static_cast<float>(0.8f + static_cast<double>(0.3f)));

  window = VoltageWindow::AtStart(0.3f);
  window.FollowReading(1.37f);
  EXPECT_EQ(window.upperVolts, static_cast<float>(1.4));
  EXPECT_EQ(window.lowerVolts, static_cast<float>(1.4f - static_cast<double>(0.3f)));

  window = VoltageWindow::AtStart(0.1f);
  window.FollowReading(0.5f);
  EXPECT_EQ(window.lowerVolts, static_cast<float>(0.4));
  EXPECT_EQ(window.upperVolts, 0.5f);
}

}  // namespace
}  // namespace ampelon
