#pragma once

namespace ampelon {

// Converts between twips (1/1440 inch) and logical pixels at a logical DPI (96 DPI: 15 twips a
// pixel). The device pixel ratio is not applied again: Qt scales logical pixels itself.
class Twips {
 public:
  explicit Twips(double logicalDpi) : m_dpi(logicalDpi > 0 ? logicalDpi : 96.0) {}
  int ToPixels(double twips) const;
  float FromPixels(int pixels) const;

 private:
  double m_dpi;
};

}  // namespace ampelon
