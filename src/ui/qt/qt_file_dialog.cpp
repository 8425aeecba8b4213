#include "ui/qt/qt_file_dialog.h"

#include <QDir>
#include <QFileDialog>

namespace ampelon {

std::string QtFileDialog::ChooseFile(std::string_view initialFolder) {
  QFileDialog dialog(
      m_parent, QStringLiteral("Select Graph LOG File"),
      QString::fromUtf8(initialFolder.data(), static_cast<qsizetype>(initialFolder.size())));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);  // the chosen file need not exist
  dialog.setNameFilters({QStringLiteral("LOG files (*.log)"), QStringLiteral("All files (*.*)")});
  dialog.selectNameFilter(QStringLiteral("LOG files (*.log)"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}

}  // namespace ampelon
