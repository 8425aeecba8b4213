#pragma once

#include "common/dialogs.h"

class QWidget;

namespace ampelon {

// The input, message and question boxes as Qt dialogs over the main window.
class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : m_parent(parent) {}

  std::string InputBox(std::string_view prompt, std::string_view title,
                       std::string_view proposal) override;
  void MessageBox(std::string_view text, std::string_view title) override;
  bool AskYesNo(std::string_view question, std::string_view title) override;

 private:
  QWidget* m_parent;
};

}  // namespace ampelon
