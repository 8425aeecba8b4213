#pragma once

#include <string>
#include <string_view>

namespace ampelon {

// The platform's file dialog for graph logs, for loading and saving alike: it opens in a
// folder with no name filled in, and the chosen file need not exist.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // The full name of the chosen file, or the empty text when the user cancelled. An empty
  // `initialFolder` lets the dialog start where the platform chooses.
  virtual std::string ChooseFile(std::string_view initialFolder) = 0;
};

}  // namespace ampelon
