#include "app/private_folder.h"

#include <cerrno>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace ampelon {

Result<QString> PrivateFolderIn(const QString& parent) {
  // An empty parent (Qt's answer for a TMPDIR that does not exist) would put it at the root.
  if (!QDir::isAbsolutePath(parent)) return Failure{"there is no temporary folder"};
  const QString folder = parent + QStringLiteral("/ampelon-") + QString::number(::geteuid());
  const std::string name = folder.toStdString();
  const QByteArray path = QFile::encodeName(folder);
  if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
    return Failure{name + ": " + std::generic_category().message(errno)};
  }
  // lstat: a link may point anywhere, also into another user's folder.
  struct stat status {};
  if (::lstat(path.constData(), &status) != 0) {
    return Failure{name + ": " + std::generic_category().message(errno)};
  }
  if (!S_ISDIR(status.st_mode)) return Failure{name + " is not a folder"};
  if (status.st_uid != ::geteuid()) return Failure{name + " belongs to another user"};
  if ((status.st_mode & 077) != 0) return Failure{name + " is open to other users"};
  return folder;
}

}  // namespace ampelon
