#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/dialogs.h"

namespace ampelon::testing {

// Dialogs answered from queues the test fills; every box shown is recorded. A question with no
// answer queued gets the default, No.
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
    if (m_whileShown) std::exchange(m_whileShown, {})();
  }

  bool AskYesNo(std::string_view question, std::string_view title) override {
    m_questions.push_back({std::string(question), std::string(title), {}});
    if (m_replies.empty()) return false;
    const bool yes = m_replies.front();
    m_replies.pop_front();
    return yes;
  }

  void Answer(std::string answer) { m_answers.push_back(std::move(answer)); }
  void Reply(bool yes) { m_replies.push_back(yes); }
  // Runs while the next message box is open, as serial events run in a modal dialog.
  void WhileShown(std::function<void()> action) { m_whileShown = std::move(action); }
  const std::vector<Shown>& InputBoxes() const { return m_inputBoxes; }
  const std::vector<Shown>& Messages() const { return m_messages; }
  const std::vector<Shown>& Questions() const { return m_questions; }

 private:
  std::deque<std::string> m_answers;
  std::deque<bool> m_replies;
  std::vector<Shown> m_inputBoxes;
  std::vector<Shown> m_messages;
  std::vector<Shown> m_questions;
  std::function<void()> m_whileShown;
};

}  // namespace ampelon::testing
