#include "viewer/plot_frame.h"

#include <algorithm>

namespace ampelon {
namespace {

constexpr double kLeftMargin = 64;
constexpr double kRightMargin = 16;
constexpr double kSecondAxisMargin = 56;
constexpr double kTopMargin = 24;
constexpr double kBottomMargin = 40;

}  // namespace

PlotFrame FrameFor(double width, double height, AxisRange x, AxisRange volts, bool secondAxis) {
  PlotFrame frame;
  frame.left = kLeftMargin;
  frame.top = kTopMargin;
  const double right = secondAxis ? kSecondAxisMargin : kRightMargin;
  frame.width = std::max(width - kLeftMargin - right, 1.0);
  frame.height = std::max(height - kTopMargin - kBottomMargin, 1.0);
  frame.x = x;
  frame.volts = volts;
  return frame;
}

}  // namespace ampelon
