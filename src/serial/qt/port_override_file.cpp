#include "serial/qt/port_override_file.h"

#include <utility>

#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace ampelon {

PortOverrideFile::PortOverrideFile() : m_filePath(DefaultFilePath()) {}

PortOverrideFile::PortOverrideFile(std::string filePath) : m_filePath(std::move(filePath)) {}

std::string PortOverrideFile::DefaultFilePath() {
  return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
          QStringLiteral("/Trevanix Ampelon/settings.ini"))
      .toStdString();
}

std::optional<std::string> PortOverrideFile::DevicePathFor(int portNumber) const {
  const QSettings settings(QString::fromStdString(m_filePath), QSettings::IniFormat);
  const QVariant value = settings.value(QStringLiteral("Ports/COM%1").arg(portNumber), QVariant());
  // The INI reader splits an unquoted value at commas into a list; a path may contain commas.
  const QString path = value.typeId() == QMetaType::QStringList
                           ? value.toStringList().join(QLatin1Char(','))
                           : value.toString();
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace ampelon
