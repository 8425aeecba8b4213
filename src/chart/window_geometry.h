#pragma once

namespace ampelon {

// The main window's outer position and size in twips (frame included). Setting the width or
// height is a resize, which lays the chart out again.
class WindowGeometry {
 public:
  virtual ~WindowGeometry() = default;
  virtual bool IsMinimized() const = 0;
  virtual float LeftTwips() const = 0;
  virtual float TopTwips() const = 0;
  virtual float OuterWidthTwips() const = 0;
  virtual float OuterHeightTwips() const = 0;
  virtual void SetLeftTwips(float twips) = 0;
  virtual void SetTopTwips(float twips) = 0;
  virtual void SetOuterWidthTwips(float twips) = 0;
  virtual void SetOuterHeightTwips(float twips) = 0;
  // Brings a window that no screen shows (far off every screen, larger than any) back onto the
  // nearest screen; a window partly on a screen stays where it is.
  virtual void KeepOnScreen() = 0;
};

}  // namespace ampelon
