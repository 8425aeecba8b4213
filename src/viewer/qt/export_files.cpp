#include "viewer/qt/export_files.h"

#include <filesystem>
#include <system_error>

#include <QBuffer>
#include <QImage>
#include <QSaveFile>

#include "files/not_regular_file.h"
#include "files/replace_whole_file.h"
#include "ui/qt/native_path.h"
#include "viewer/byte_sink.h"
#include "viewer/csv_export.h"

namespace ampelon {
namespace {

// A file written beside its name and swapped in at the end.
class SaveFileSink final : public ByteSink {
 public:
  explicit SaveFileSink(const std::filesystem::path& path)
      : m_path(path), m_file(QtFromPath(path)) {}

  Result<void> Open() {
    // QSaveFile takes the name as text: a name that is no UTF-8 would come out as another one.
    if (PathFromQt(m_file.fileName()) != m_path) {
      return Failure{"A file name that is not UTF-8 text cannot be written; choose another."};
    }
    // QSaveFile would rename its file over a pipe or a device (root may write in /dev).
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(m_path, error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
      return Failure{NotRegularFileReason(status.type()) + "."};
    }
    // Refused in Ampelon's own words, also where QSaveFile would write (root, Windows).
    if (const Result<void> allowed = CheckMayReplace(m_path); !allowed) return allowed;
    // Unbuffered, so that a failing write reports its own reason at once (Qt 6.4 ignores a
    // failure of the buffered rest inside commit()).
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
      return Failure{m_file.errorString().toStdString()};
    }
    return {};
  }

  Result<void> Write(std::string_view bytes) override {
    // A write cut short (the disk filled up) counts what fitted; the next one gives the reason.
    while (!bytes.empty()) {
      const qint64 written = m_file.write(bytes.data(), static_cast<qint64>(bytes.size()));
      if (written <= 0) {
        Failure failure{m_file.errorString().toStdString()};
        m_file.cancelWriting();
        return failure;
      }
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
  }

  Result<void> Commit() {
    if (!m_file.commit()) return Failure{m_file.errorString().toStdString()};
    return {};
  }

 private:
  std::filesystem::path m_path;
  QSaveFile m_file;
};

}  // namespace

Result<void> SaveCsvFile(const std::filesystem::path& path, const Charge& charge, std::size_t first,
                         std::size_t last) {
  SaveFileSink sink(path);
  if (const Result<void> opened = sink.Open(); !opened) return opened;
  if (const Result<void> written = WriteCsv(charge, first, last, sink); !written) return written;
  return sink.Commit();
}

Result<void> SavePngFile(const std::filesystem::path& path, const QImage& image) {
  QBuffer png;
  png.open(QIODevice::WriteOnly);
  if (!image.save(&png, "PNG")) return Failure{"The picture could not be made."};
  return SaveBytesFile(path, png.data());
}

Result<void> SaveBytesFile(const std::filesystem::path& path, const QByteArray& bytes) {
  SaveFileSink sink(path);
  if (const Result<void> opened = sink.Open(); !opened) return opened;
  if (const Result<void> written =
          sink.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
      !written) {
    return written;
  }
  return sink.Commit();
}

}  // namespace ampelon
