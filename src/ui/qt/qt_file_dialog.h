#pragma once

#include "ui/file_dialog.h"

class QWidget;

namespace ampelon {

// "Select Graph LOG File": Qt's own file dialog (the same on every platform, and scriptable),
// offering *.log first and all files second. Used for saving as well as loading.
class QtFileDialog final : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* parent) : m_parent(parent) {}
  std::string ChooseFile(std::string_view initialFolder) override;

 private:
  QWidget* m_parent;
};

}  // namespace ampelon
