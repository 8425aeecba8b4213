#include "ui/qt/qt_graph_file_access.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "measurement/byte_source.h"

namespace ampelon {
namespace {

class QtFileSource final : public ByteSource {
 public:
  explicit QtFileSource(std::unique_ptr<QFile> file) : m_file(std::move(file)) {}

  std::optional<std::size_t> Read(std::span<char> buffer) override {
    const qint64 count = m_file->read(buffer.data(), static_cast<qint64>(buffer.size()));
    if (count < 0) return std::nullopt;
    return static_cast<std::size_t>(count);
  }
  std::string Error() const override { return m_file->errorString().toStdString(); }

 private:
  std::unique_ptr<QFile> m_file;
};

}  // namespace

GraphFileAccess::Opened QtGraphFileAccess::OpenForReading(const std::string& fileName) {
  const QString name = QString::fromStdString(fileName);
  // A folder opens on some systems and only fails at the first read; say what it is instead.
  if (QFileInfo(name).isDir()) return {nullptr, "It is a folder, not a file."};
  auto file = std::make_unique<QFile>(name);
  if (!file->open(QIODevice::ReadOnly)) return {nullptr, file->errorString().toStdString()};
  return {std::make_unique<QtFileSource>(std::move(file)), {}};
}

std::string QtGraphFileAccess::WriteWhole(const std::string& fileName, std::string_view bytes) {
  const QString name = QString::fromStdString(fileName);
  if (QFileInfo(name).isDir()) return "It is a folder, not a file.";
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
      static_cast<qint64>(bytes.size())) {
    const std::string error = file.errorString().toStdString();
    file.cancelWriting();
    return error;
  }
  if (!file.commit()) return file.errorString().toStdString();
  return {};
}

}  // namespace ampelon
