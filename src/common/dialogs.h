#pragma once

#include <string>
#include <string_view>

namespace ampelon {

// The platform's modal input boxes, message boxes and yes/no questions. Each returns when the
// user has closed it.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Asks for a line of text with `proposal` filled in; the confirmed text, or the empty text
  // when the user cancelled.
  virtual std::string InputBox(std::string_view prompt, std::string_view title,
                               std::string_view proposal) = 0;
  // Shows `text` with an OK button only.
  virtual void MessageBox(std::string_view text, std::string_view title) = 0;
  // Asks `question` with Yes and No buttons, No the default (Return and Escape answer No); true
  // only for Yes.
  virtual bool AskYesNo(std::string_view question, std::string_view title) = 0;
};

}  // namespace ampelon
