#include "ui/qt/regular_file.h"

#include <QFile>
#include <QFileInfo>

namespace ampelon {

// Windows keeps its pipes and devices outside the folders a file dialog shows, so a look before
// opening is enough: what is there cannot turn into something that waits.
Result<void> OpenRegularFile(QFile& file) {
  const QFileInfo info(file.fileName());
  if (info.isDir()) return Failure{"It is a folder, not a regular file."};
  if (info.exists() && !info.isFile()) return Failure{"It is not a regular file."};
  if (!file.open(QIODevice::ReadOnly)) return Failure{file.errorString().toStdString()};
  return {};
}

}  // namespace ampelon
