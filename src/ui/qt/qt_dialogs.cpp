#include "ui/qt/qt_dialogs.h"

#include <cstdio>

#include <QInputDialog>
#include <QMessageBox>

namespace ampelon {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::string QtDialogs::InputBox(std::string_view prompt, std::string_view title,
                                std::string_view proposal) {
  QInputDialog dialog(m_parent);
  dialog.setWindowTitle(ToQString(title));
  dialog.setLabelText(ToQString(prompt));
  dialog.setTextValue(ToQString(proposal));
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.textValue().toStdString();
}

void QtDialogs::MessageBox(std::string_view text, std::string_view title) {
  // Also on the standard error stream: a message stays readable in a terminal's history (or a
  // desktop session's log) after its box is closed.
  std::fprintf(stderr, "ampelon: %.*s\n", static_cast<int>(text.size()), text.data());
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text), QMessageBox::Ok,
                  m_parent);
  // File names and the system's reasons are never HTML.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtDialogs::AskYesNo(std::string_view question, std::string_view title) {
  QMessageBox box(QMessageBox::Question, ToQString(title), ToQString(question),
                  QMessageBox::Yes | QMessageBox::No, m_parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace ampelon
