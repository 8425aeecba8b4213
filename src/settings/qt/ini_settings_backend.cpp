#include "settings/qt/ini_settings_backend.h"

#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "common/utf8_path.h"
#include "files/replace_whole_file.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"

namespace ampelon {

IniSettingsBackend::IniSettingsBackend(std::string filePath) : m_filePath(std::move(filePath)) {}

void IniSettingsBackend::EnsureStore() {
  const QString path = QString::fromStdString(m_filePath);
  const QFileInfo info(path);
  if (info.exists()) return;
  if (!QDir().mkpath(info.absolutePath())) return;
  // NewOnly: never truncate a file that another program created meanwhile.
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) file.close();
}

std::optional<std::string> IniSettingsBackend::ReadValue(std::string_view name) {
  const Result<IniFileText> file = ReadIniFile(m_filePath);
  if (!file) return std::nullopt;
  return IniDocument(file->text).Value(IniDocument::kGeneral, name);
}

Result<void> IniSettingsBackend::WriteValue(std::string_view name, std::string_view text) {
  // StoreProblem() tells the user about a file that cannot be used at all.
  const Result<IniFileText> current = ReadIniFile(m_filePath);
  if (!current) return {};
  // The replacement goes through the folder, so it would overwrite a read-only file.
  const QFileInfo info(QString::fromStdString(m_filePath));
  if (info.exists() && !info.permission(QFileDevice::WriteOwner)) return {};

  IniDocument document(current->text);
  document.SetValue(IniDocument::kGeneral, name, text);
  if (const Result<void> replaced = ReplaceWholeFile(PathFromUtf8(m_filePath), document.Text());
      !replaced) {
    return Failure{"Could not write " + m_filePath + ": " + replaced.error()};
  }
  return {};
}

std::string IniSettingsBackend::StoreProblem() {
  const Result<IniFileText> file = ReadIniFile(m_filePath);
  return file ? std::string() : file.error();
}

}  // namespace ampelon
