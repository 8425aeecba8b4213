#include "ui/qt/journal_folder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace ampelon {

std::string JournalFolder() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  // The environment's bytes as they are: a folder's name need not be UTF-8.
  std::string state = qgetenv("XDG_STATE_HOME").toStdString();
  // Relative paths are invalid here and ignored, as for the other XDG folders.
  if (!state.starts_with('/')) {
    QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) home = QFile::encodeName(QDir::homePath());
    state = home.toStdString() + "/.local/state";
  }
  return state + "/Trevanix Ampelon";
#else
  const QString state = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QDir::toNativeSeparators(state + QStringLiteral("/Trevanix Ampelon")).toStdString();
#endif
}

}  // namespace ampelon
