#pragma once

#include "viewer/plot_view.h"

namespace ampelon {

// Where the plot area lies in an image or widget, in logical pixels, and what it shows: the
// conversions between those pixels and axis values.
struct PlotFrame {
  double left = 0;
  double top = 0;
  double width = 1;
  double height = 1;
  AxisRange x;
  AxisRange volts;

  double XAt(double pixelX) const { return x.low + (pixelX - left) / width * x.Span(); }
  double VoltsAt(double pixelY) const {
    return volts.high - (pixelY - top) / height * volts.Span();
  }
  double PixelX(double value) const { return left + (value - x.low) / x.Span() * width; }
  double PixelY(double value) const { return top + (volts.high - value) / volts.Span() * height; }
  bool Contains(double pixelX, double pixelY) const {
    return pixelX >= left && pixelX < left + width && pixelY >= top && pixelY < top + height;
  }
};

// The plot area of an image of `width` x `height` logical pixels: room for the volts labels on
// the left, the x labels below and, with `secondAxis`, another axis's labels on the right; never
// smaller than a pixel.
PlotFrame FrameFor(double width, double height, AxisRange x, AxisRange volts,
                   bool secondAxis = false);

}  // namespace ampelon
