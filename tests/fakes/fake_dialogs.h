#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/dialogs.h"

namespace ampelon::testing {

// Dialogs answered from a queue the test fills; every box shown is recorded.
class FakeDialogs final : public Dialogs {
 public:
  struct Shown {
    std::string text;  // prompt or message
    std::string title;
    std::string proposal;  // input boxes only
  };

  std::string InputBox(std::string_view prompt, std::string_view title,
                       std::string_view proposal) override {
    m_inputBoxes.push_back({std::string(prompt), std::string(title), std::string(proposal)});
    if (m_answers.empty()) return {};
    std::string answer = m_answers.front();
    m_answers.pop_front();
    return answer;
  }
  void MessageBox(std::string_view text, std::string_view title) override {
    m_messages.push_back({std::string(text), std::string(title), {}});
  }

  void Answer(std::string answer) { m_answers.push_back(std::move(answer)); }
  const std::vector<Shown>& InputBoxes() const { return m_inputBoxes; }
  const std::vector<Shown>& Messages() const { return m_messages; }

 private:
  std::deque<std::string> m_answers;
  std::vector<Shown> m_inputBoxes;
  std::vector<Shown> m_messages;
};

}  // namespace ampelon::testing
