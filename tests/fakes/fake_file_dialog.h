#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/file_dialog.h"

namespace ampelon::testing {

// A file dialog answered from a queue (the empty text cancels); records the folders it opened in.
class FakeFileDialog final : public FileDialog {
 public:
  std::string ChooseFile(std::string_view initialFolder) override {
    m_folders.emplace_back(initialFolder);
    if (m_answers.empty()) return {};
    std::string answer = m_answers.front();
    m_answers.pop_front();
    return answer;
  }
  void Answer(std::string fileName) { m_answers.push_back(std::move(fileName)); }
  const std::vector<std::string>& Folders() const { return m_folders; }

 private:
  std::deque<std::string> m_answers;
  std::vector<std::string> m_folders;
};

}  // namespace ampelon::testing
