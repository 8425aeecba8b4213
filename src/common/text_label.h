#pragma once

#include <string_view>

#include "common/colour.h"

namespace ampelon {

// A one-line text label of the main window; positions in twips.
class TextLabel {
 public:
  virtual ~TextLabel() = default;
  virtual void SetText(std::string_view text) = 0;
  virtual void SetTop(float topTwips) = 0;
  virtual void SetBackground(Colour colour) = 0;
  // The text shown when the pointer rests on the label; empty for none.
  virtual void SetHoverText(std::string_view text) = 0;
};

}  // namespace ampelon
