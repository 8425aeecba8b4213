#include "app/private_folder.h"

#include <QDir>

#include "common/windows_api.h"

namespace ampelon {

// The temporary folder is the user's own on Windows (in their profile, closed to others), so
// a folder made inside it needs no permissions of its own; only a link is refused.
Result<QString> PrivateFolderIn(const QString& parent) {
  if (!QDir::isAbsolutePath(parent)) return Failure{"there is no temporary folder"};
  const QString folder = QDir::toNativeSeparators(parent + QStringLiteral("/Ampelon"));
  const std::wstring path = folder.toStdWString();
  if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
    return Failure{folder.toStdString() + " cannot be made"};
  }
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return Failure{folder.toStdString() + " is not a folder"};
  }
  return folder;
}

}  // namespace ampelon
