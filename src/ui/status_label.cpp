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

void StatusLabel::SetWatchNote(std::string_view note) {
  m_watchNote = note;
  ShowHoverText();
}

void StatusLabel::SetLibraryNote(std::string_view note) {
  m_libraryNote = note;
  ShowHoverText();
}

void StatusLabel::ShowHoverText() {
  std::string text;
  for (const std::string* part : {&m_hoverText, &m_note, &m_watchNote, &m_libraryNote}) {
    if (part->empty()) continue;
    if (!text.empty()) text += "\n\n";
    text += *part;
  }
  m_label.SetHoverText(text);
}

}  // namespace ampelon
