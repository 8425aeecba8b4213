#include "viewer/qt/charge_loader.h"

#include <memory>

#include <QFileInfo>
#include <QString>

#include "measurement/byte_source.h"
#include "ui/qt/qt_graph_file_access.h"

namespace ampelon {

Result<ChargeFile> LoadChargeFile(const std::string& fileName) {
  QtGraphFileAccess files;
  const Result<std::unique_ptr<ByteSource>> log = files.OpenForReading(fileName);
  if (!log) return Failure{"Could not open " + fileName + ":\n" + log.error()};
  Result<ChargeFile> read = ReadChargeFile(**log, fileName);
  if (!read) return read;
  const std::string timesName = TimesFileFor(fileName);
  if (!QFileInfo::exists(QString::fromStdString(timesName))) return read;
  const Result<std::unique_ptr<ByteSource>> times = files.OpenForReading(timesName);
  const Result<void> timesRead =
      times ? ReadChargeTimes(**times, read->charge) : Result<void>(Failure{times.error()});
  if (!timesRead) {
    read->notes += (read->notes.empty() ? "" : "\n\n") + std::string("The times in ") + timesName +
                   " could not be read: " + timesRead.error();
  }
  return read;
}

}  // namespace ampelon
