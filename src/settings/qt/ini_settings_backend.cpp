#include "settings/qt/ini_settings_backend.h"

#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

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

void IniSettingsBackend::WriteValue(std::string_view name, std::string_view text) {
  const Result<IniFileText> current = ReadIniFile(m_filePath);
  if (!current) return;
  const QString path = QString::fromStdString(m_filePath);
  // QSaveFile replaces the file through its folder, so it would overwrite a read-only file.
  const QFileInfo info(path);
  if (info.exists() && !info.permission(QFileDevice::WriteOwner)) return;

  IniDocument document(current->text);
  document.SetValue(IniDocument::kGeneral, name, text);
  const std::string newText = document.Text();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return;
  const auto size = static_cast<qint64>(newText.size());
  if (file.write(newText.data(), size) != size) {
    file.cancelWriting();
    return;
  }
  file.commit();
}

std::string IniSettingsBackend::StoreProblem() {
  const Result<IniFileText> file = ReadIniFile(m_filePath);
  return file ? std::string() : file.error();
}

}  // namespace ampelon
