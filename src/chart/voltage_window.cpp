#include "chart/voltage_window.h"

#include <cmath>

namespace ampelon {
namespace {

constexpr float kStartTop = 1.3f;
constexpr float kFollowFloor = 0.2f;
constexpr float kFollowCeiling = 2.4f;

float Sum(float a, float b) { return static_cast<float>(static_cast<double>(a) + b); }
float Difference(float a, float b) { return static_cast<float>(static_cast<double>(a) - b); }

}  // namespace

VoltageWindow VoltageWindow::AtStart(float rangeVolts) {
  return {kStartTop, Difference(kStartTop, rangeVolts), rangeVolts};
}

int VoltageWindow::FollowReading(float volts) {
  int moves = 0;
  if (volts > kFollowFloor && volts < lowerVolts) {
    const float bottom = static_cast<float>((std::floor(static_cast<double>(volts) * 10) - 1) / 10);
    lowerVolts = bottom;
    upperVolts = Sum(bottom, rangeVolts);
    ++moves;
  }
  if (volts < kFollowCeiling && volts > upperVolts) {
    const float top = static_cast<float>((std::floor(static_cast<double>(volts) * 10) + 1) / 10);
    upperVolts = top;
    lowerVolts = Difference(top, rangeVolts);
    ++moves;
  }
  return moves;
}

}  // namespace ampelon
