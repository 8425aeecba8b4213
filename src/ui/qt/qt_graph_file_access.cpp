#include "ui/qt/qt_graph_file_access.h"

#include <QFileInfo>

#include "common/utf8_path.h"
#include "files/replace_whole_file.h"
#include "measurement/byte_source.h"
#include "measurement/graph_log_file.h"

namespace ampelon {

Result<std::unique_ptr<ByteSource>> QtGraphFileAccess::OpenForReading(const std::string& fileName) {
  return OpenGraphLogFile(PathFromUtf8(fileName));
}

bool QtGraphFileAccess::FileExists(const std::string& fileName) {
  const QFileInfo info(QString::fromStdString(fileName));
  return info.exists() && !info.isDir();
}

Result<void> QtGraphFileAccess::WriteWhole(const std::string& fileName, std::string_view bytes) {
  return ReplaceWholeFile(PathFromUtf8(fileName), bytes);
}

}  // namespace ampelon
