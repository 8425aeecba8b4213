#include "ui/qt/native_path.h"

#include <system_error>

#include <QFile>

namespace ampelon {

std::filesystem::path PathFromQt(const QString& name) {
#ifdef _WIN32
  return std::filesystem::path(name.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

QString QtFromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.native());
#else
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

std::filesystem::path PathFromArgument(const char* argument) {
#ifdef _WIN32
  const std::filesystem::path path = PathFromQt(QFile::decodeName(argument));
#else
  const std::filesystem::path path(argument);
#endif
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return (error ? path : absolute).lexically_normal();
}

}  // namespace ampelon
