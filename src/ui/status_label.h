#pragma once

#include <string>

#include "common/text_label.h"

namespace ampelon {

// The serial port's status read-out with a standing note of the program's own added to its hover
// text, so that the port's reason and the note never overwrite each other.
class StatusLabel final : public TextLabel {
 public:
  explicit StatusLabel(TextLabel& label) : m_label(label) {}

  void SetText(std::string_view text) override { m_label.SetText(text); }
  void SetTop(float topTwips) override { m_label.SetTop(topTwips); }
  void SetBackground(Colour colour) override { m_label.SetBackground(colour); }
  void SetHoverText(std::string_view text) override;
  // Shown below whatever hover text the port sets; empty for none.
  void SetNote(std::string_view note);
  // The watch's note on the charge, shown below the other two; empty for none.
  void SetWatchNote(std::string_view note);
  // Why charges are not kept in the charge library, shown last; empty for none.
  void SetLibraryNote(std::string_view note);

 private:
  void ShowHoverText();

  TextLabel& m_label;
  std::string m_hoverText;
  std::string m_note;
  std::string m_watchNote;
  std::string m_libraryNote;
};

}  // namespace ampelon
