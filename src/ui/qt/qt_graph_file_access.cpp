#include "ui/qt/qt_graph_file_access.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "measurement/byte_source.h"
#include "ui/qt/regular_file.h"

namespace ampelon {
namespace {

class QtFileSource final : public ByteSource {
 public:
  explicit QtFileSource(std::unique_ptr<QFile> file) : m_file(std::move(file)) {}

  Result<std::size_t> Read(std::span<char> buffer) override {
    const qint64 count = m_file->read(buffer.data(), static_cast<qint64>(buffer.size()));
    if (count < 0) return Failure{m_file->errorString().toStdString()};
    return static_cast<std::size_t>(count);
  }

 private:
  std::unique_ptr<QFile> m_file;
};

}  // namespace

Result<std::unique_ptr<ByteSource>> QtGraphFileAccess::OpenForReading(const std::string& fileName) {
  auto file = std::make_unique<QFile>(QString::fromStdString(fileName));
  if (const Result<void> opened = OpenRegularFile(*file); !opened) return Failure{opened.error()};
  return std::make_unique<QtFileSource>(std::move(file));
}

bool QtGraphFileAccess::FileExists(const std::string& fileName) {
  const QFileInfo info(QString::fromStdString(fileName));
  return info.exists() && !info.isDir();
}

Result<void> QtGraphFileAccess::WriteWhole(const std::string& fileName, std::string_view bytes) {
  const QString name = QString::fromStdString(fileName);
  if (QFileInfo(name).isDir()) return Failure{"It is a folder, not a regular file."};
  QSaveFile file(name);
  // Unbuffered, so that a failing write reports its own reason at once. Buffered bytes are
  // written only inside commit(), which (Qt 6.4) then ignores a failure and swaps the cut-off
  // file in.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return Failure{file.errorString().toStdString()};
  }
  // A write cut short (the disk filled up) counts only what fitted and sets no error: the next
  // write of the rest fails with the reason.
  while (!bytes.empty()) {
    const qint64 written = file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written <= 0) {
      Failure failure{file.errorString().toStdString()};
      file.cancelWriting();
      return failure;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  if (!file.commit()) return Failure{file.errorString().toStdString()};
  return {};
}

}  // namespace ampelon
