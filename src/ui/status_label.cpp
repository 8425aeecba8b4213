#include "ui/status_label.h"

namespace ampelon {

void StatusLabel::SetHoverText(std::string_view text) {
  m_hoverText = text;
  ShowHoverText();
}

void StatusLabel::SetNote(std::string_view note) {
  m_note = note;
  ShowHoverText();
}

void StatusLabel::ShowHoverText() {
  if (m_hoverText.empty() || m_note.empty()) {
    m_label.SetHoverText(m_hoverText.empty() ? m_note : m_hoverText);
  } else {
    m_label.SetHoverText(m_hoverText + "\n\n" + m_note);
  }
}

}  // namespace ampelon
