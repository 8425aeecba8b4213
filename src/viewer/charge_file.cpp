#include "viewer/charge_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "common/number_text.h"
#include "common/utf8_path.h"
#include "measurement/byte_source.h"
#include "measurement/graph_log_file.h"
#include "measurement/graph_log_parser.h"
#include "measurement/times_parser.h"
#include "viewer/csv_charge_parser.h"
#include "viewer/csv_export.h"
#include "viewer/first_lines_check.h"

namespace ampelon {
namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;

std::string SkippedNote(const GraphLogParser& parser) {
  if (parser.SkippedLines() == 0) return {};
  return NumberText(parser.SkippedLines()) +
         (parser.SkippedLines() == 1 ? " line was" : " lines were") +
         " skipped because the value lies outside -32768..32767 (the first at line " +
         NumberText(parser.FirstSkippedLine()) + ").";
}

bool Cancelled(const ReadControl& control) {
  return control.cancel != nullptr && control.cancel->load(std::memory_order_relaxed);
}

// Room for whatever readings the next piece may hold (a line takes a byte at least). Made once
// for the whole file from the readings its first pieces held a byte, so that they are not copied
// as they grow: growing by doubling holds three times the readings while it copies, and leaves
// up to half of it unused.
void MakeRoom(GraphLogParser& parser, std::uint64_t bytesRead, std::uint64_t fileBytes) {
  const std::size_t readings = parser.Readings().size();
  const std::size_t needed = readings + kPieceBytes;
  if (fileBytes == 0 || parser.Readings().capacity() >= needed) return;
  if (bytesRead == 0 || bytesRead >= fileBytes) {
    // Nothing read yet to tell the pace by, or the file grew while it was read.
    parser.Reserve(needed + readings / 8);
    return;
  }
  // The rest of the file like what was read, and a little more.
  const double perByte = static_cast<double>(readings) / static_cast<double>(bytesRead);
  const double expected = perByte * static_cast<double>(fileBytes) * 1.02;
  parser.Reserve(std::max(needed, static_cast<std::size_t>(expected)));
}

// Tells the bytes read so far; true when the read is to stop.
bool Progressed(const ReadControl& control, std::uint64_t bytesRead) {
  if (control.onProgress) control.onProgress(bytesRead);
  return Cancelled(control);
}

std::uint64_t FileBytes(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(path, error);
  return error ? 0 : bytes;
}

// Reads the pieces after `head` into `feed` until it wants no more or the file ends; fails with
// `failure` when `next` fails, or when the read is cancelled.
template <typename Next, typename Feed>
Result<void> ReadRest(std::string_view head, bool ended, const Next& next,
                      const std::optional<std::string>& failure, const ReadControl& control,
                      const Feed& feed) {
  if (!feed(head) || ended) return {};
  while (true) {
    const std::optional<std::string_view> piece = next();
    if (!piece) return Failure{*failure};
    if (piece->empty() || !feed(*piece)) return {};
    if (Cancelled(control)) return Failure{kReadCancelled};
  }
}

template <typename Next>
Result<ChargeFile> ReadGraphLog(std::string_view head, bool ended, const Next& next,
                                const std::optional<std::string>& failure, const std::string& name,
                                const ReadControl& control) {
  GraphLogParser parser(GraphLogParser::kNoCapacityLimit);
  FirstLinesCheck firstLines;
  std::uint64_t bytesFed = 0;
  bool more = true;
  const Result<void> read =
      ReadRest(head, ended, next, failure, control, [&](std::string_view piece) {
        MakeRoom(parser, bytesFed, control.fileBytes);
        bytesFed += piece.size();
        if (!firstLines.Done()) firstLines.Feed(piece);
        // With no capacity limit, only a line that makes it no graph log stops the parser.
        more = parser.Feed(piece);
        if (firstLines.Reason() || Progressed(control, bytesFed)) return false;
        return more;
      });
  if (!read) return Failure{read.error()};
  if (Cancelled(control)) return Failure{kReadCancelled};
  if (more) parser.Finish();
  firstLines.Finish();
  const bool failed = parser.GetFailure() != GraphLogParser::Failure::kNone;
  // Binary data (UTF-16 text) is told as such, whatever its bytes look like.
  if (failed && parser.FailureLine() <= 1) {
    return Failure{name + " is not a graph log: " + parser.FailureReason()};
  }
  if (const std::optional<std::string> reason = firstLines.Reason()) {
    return Failure{name + " is not a graph log: " + *reason};
  }
  ChargeFile file;
  if (failed) {
    file.notes = name + " is not a graph log from line " + NumberText(parser.FailureLine()) +
                 " on: " + parser.FailureReason() + " Only the lines before it were read.";
  }
  if (const std::string skipped = SkippedNote(parser); !skipped.empty()) {
    file.notes += (file.notes.empty() ? "" : "\n\n") + skipped;
  }
  file.charge.counts = parser.TakeReadings();
  // Only much room to spare is worth a copy (a file cut short by a line that is no graph log).
  std::vector<std::int16_t>& counts = file.charge.counts;
  if (counts.capacity() - counts.size() > counts.size() / 8) counts.shrink_to_fit();
  return file;
}

template <typename Next>
Result<ChargeFile> ReadCsv(std::string_view head, bool ended, const Next& next,
                           const std::optional<std::string>& failure, const std::string& name,
                           const ReadControl& control) {
  CsvChargeParser parser;
  std::uint64_t bytesFed = 0;
  const Result<void> read =
      ReadRest(head, ended, next, failure, control, [&](std::string_view piece) {
        bytesFed += piece.size();
        return parser.Feed(piece) && !Progressed(control, bytesFed);
      });
  if (!read) return Failure{read.error()};
  if (Cancelled(control)) return Failure{kReadCancelled};
  parser.Finish();
  ChargeFile file;
  file.timesWithin = true;
  if (parser.FailureLine() > 0) {
    const std::string where = name + " is not a CSV export of Ampelon Viewer";
    if (parser.Readings() == 0)
      return Failure{where + ": line " + NumberText(parser.FailureLine()) + ": " +
                     parser.FailureReason()};
    file.notes = where + " from line " + NumberText(parser.FailureLine()) +
                 " on: " + parser.FailureReason() + " Only the lines before it were read.";
  }
  file.charge = parser.TakeCharge();
  return file;
}

}  // namespace

Result<ChargeFile> ReadChargeFile(ByteSource& log, const std::string& name,
                                  const ReadControl& control) {
  std::array<char, kPieceBytes> buffer{};
  // The next piece of the file; empty at its end, nothing when it cannot be read or the read
  // was cancelled (`failure` says why).
  std::optional<std::string> failure;
  const auto next = [&]() -> std::optional<std::string_view> {
    if (Cancelled(control)) {
      failure = kReadCancelled;
      return std::nullopt;
    }
    const Result<std::size_t> count = log.Read(buffer);
    if (!count) {
      failure = "Could not read " + name + ":\n" + count.error();
      return std::nullopt;
    }
    return std::string_view(buffer.data(), *count);
  };
  // The first bytes tell a CSV export from a graph log.
  std::string head;
  bool ended = false;
  while (!ended && head.size() <= std::string_view(kCsvHeader).size() + 3) {
    const std::optional<std::string_view> piece = next();
    if (!piece) return Failure{*failure};
    ended = piece->empty();
    head += *piece;
  }
  return StartsWithCsvHeader(head) ? ReadCsv(head, ended, next, failure, name, control)
                                   : ReadGraphLog(head, ended, next, failure, name, control);
}

Result<void> ReadChargeTimes(ByteSource& times, Charge& charge, const ReadControl& control) {
  TimesParser parser(charge.counts.size());
  std::array<char, kPieceBytes> buffer{};
  std::uint64_t bytesRead = 0;
  while (true) {
    if (Cancelled(control)) return Failure{kReadCancelled};
    const Result<std::size_t> count = times.Read(buffer);
    if (!count) return Failure{count.error()};
    if (*count == 0) break;
    bytesRead += *count;
    parser.Feed({buffer.data(), *count});
    if (Progressed(control, bytesRead)) return Failure{kReadCancelled};
    // The lines after the last reading's are of no use.
    if (parser.Ended() || parser.Seconds().size() >= charge.counts.size()) break;
  }
  parser.Finish();
  AttachTimes(parser.TakeSeconds(), charge);
  return {};
}

namespace {

std::string NotEnoughMemory(const std::filesystem::path& path) {
  return "There is not enough memory to open " + Utf8FromPath(path) + ".";
}

Result<ChargeFile> LoadChargeFileOrThrow(const std::filesystem::path& path,
                                         const std::function<void(double share)>& onProgress,
                                         const std::atomic<bool>* cancel) {
  const std::string name = Utf8FromPath(path);
  const std::filesystem::path timesPath = PathFromUtf8(TimesFileFor(name));
  std::error_code error;
  const bool timesThere = std::filesystem::exists(timesPath, error);
  const std::uint64_t logBytes = FileBytes(path);
  const std::uint64_t allBytes = logBytes + (timesThere ? FileBytes(timesPath) : 0);
  const auto control = [&](std::uint64_t fileBytes, std::uint64_t before) {
    ReadControl read;
    read.fileBytes = fileBytes;
    read.cancel = cancel;
    if (onProgress && allBytes > 0) {
      read.onProgress = [&onProgress, before, allBytes](std::uint64_t bytesRead) {
        onProgress(
            std::min(1.0, static_cast<double>(before + bytesRead) / static_cast<double>(allBytes)));
      };
    }
    return read;
  };

  const Result<std::unique_ptr<ByteSource>> log = OpenGraphLogFile(path);
  if (!log) return Failure{"Could not open " + name + ":\n" + log.error()};
  Result<ChargeFile> read = ReadChargeFile(**log, name, control(logBytes, 0));
  // A CSV export holds its own times.
  if (!read || !timesThere || read->timesWithin) return read;
  const Result<std::unique_ptr<ByteSource>> times = OpenGraphLogFile(timesPath);
  const Result<void> timesRead = times
                                     ? ReadChargeTimes(**times, read->charge, control(0, logBytes))
                                     : Result<void>(Failure{times.error()});
  if (!timesRead) {
    if (cancel != nullptr && cancel->load()) return Failure{kReadCancelled};
    read->notes += (read->notes.empty() ? "" : "\n\n") + std::string("The times in ") +
                   Utf8FromPath(timesPath) + " could not be read: " + timesRead.error();
  }
  return read;
}

}  // namespace

Result<ChargeFile> LoadChargeFile(const std::filesystem::path& path,
                                  const std::function<void(double share)>& onProgress,
                                  const std::atomic<bool>* cancel) {
  try {
    return LoadChargeFileOrThrow(path, onProgress, cancel);
  } catch (const std::bad_alloc&) {
    return Failure{NotEnoughMemory(path)};
  } catch (const std::length_error&) {
    return Failure{NotEnoughMemory(path)};
  }
}

void AttachTimes(std::vector<double> seconds, Charge& charge) {
  if (std::none_of(seconds.begin(), seconds.end(), [](double s) { return std::isfinite(s); })) {
    charge.seconds.clear();
    return;
  }
  seconds.resize(charge.counts.size(), std::numeric_limits<double>::quiet_NaN());
  seconds.shrink_to_fit();
  charge.seconds = std::move(seconds);
}

}  // namespace ampelon
