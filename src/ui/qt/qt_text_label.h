#pragma once

#include "common/text_label.h"
#include "ui/qt/twips.h"

class QLabel;

namespace ampelon {

// A TextLabel on a QLabel of the main window.
class QtTextLabel final : public TextLabel {
 public:
  QtTextLabel(QLabel& label, const Twips& twips) : m_label(label), m_twips(twips) {}

  void SetText(std::string_view text) override;
  void SetTop(float topTwips) override;
  void SetBackground(Colour colour) override;
  void SetHoverText(std::string_view text) override;

 private:
  QLabel& m_label;
  const Twips& m_twips;
};

}  // namespace ampelon
