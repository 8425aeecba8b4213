#include "ui/qt/journal_folder.h"

#include <QDir>
#include <QStandardPaths>

namespace ampelon {

std::string JournalFolder() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  // Relative paths are invalid here and ignored, as for the other XDG folders.
  if (state.isEmpty() || QDir::isRelativePath(state)) {
    state = QDir::homePath() + QStringLiteral("/.local/state");
  }
#else
  const QString state = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
  return QDir::toNativeSeparators(state + QStringLiteral("/Trevanix Ampelon")).toStdString();
}

}  // namespace ampelon
