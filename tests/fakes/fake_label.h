#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/text_label.h"

namespace ampelon::testing {

// A label that keeps its last text, top and background and counts how often its text was set.
// Labels given the same journal append themselves to it on every SetTop, so a test can check
// the order in which several labels were moved.
class FakeLabel final : public TextLabel {
 public:
  FakeLabel() = default;
  explicit FakeLabel(std::vector<const FakeLabel*>& topJournal) : m_topJournal(&topJournal) {}

  void SetText(std::string_view text) override {
    m_text = text;
    ++m_textSets;
  }
  void SetTop(float topTwips) override {
    m_top = topTwips;
    ++m_topSets;
    if (m_topJournal != nullptr) m_topJournal->push_back(this);
  }
  void SetBackground(Colour colour) override { m_background = colour; }
  void SetHoverText(std::string_view text) override { m_hoverText = text; }

  const std::string& Text() const { return m_text; }
  float Top() const { return m_top; }
  Colour Background() const { return m_background; }
  const std::string& HoverText() const { return m_hoverText; }
  int TextSets() const { return m_textSets; }
  int TopSets() const { return m_topSets; }

 private:
  std::vector<const FakeLabel*>* m_topJournal = nullptr;
  std::string m_text;
  float m_top = 0.0f;
  Colour m_background = kWhite;
  std::string m_hoverText;
  int m_textSets = 0;
  int m_topSets = 0;
};

}  // namespace ampelon::testing
