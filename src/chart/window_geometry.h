#pragma once

namespace ampelon {

// The main window's outer position and size in twips (frame included). Setting the width or
// height is a resize, which lays the chart out again.
class WindowGeometry {
 public:
  virtual ~WindowGeometry() = default;
  virtual bool IsMinimized() const = 0;
  virtual float Left() const = 0;
  virtual float Top() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  virtual void SetLeft(float twips) = 0;
  virtual void SetTop(float twips) = 0;
  virtual void SetWidth(float twips) = 0;
  virtual void SetHeight(float twips) = 0;
  // Brings a window that no screen shows (far off every screen, larger than any) back onto the
  // nearest screen; a window partly on a screen stays where it is.
  virtual void KeepOnScreen() = 0;
};

}  // namespace ampelon
