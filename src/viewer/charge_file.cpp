#include "viewer/charge_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "common/number_text.h"
#include "measurement/byte_source.h"
#include "measurement/graph_log_parser.h"
#include "measurement/graph_log_reader.h"
#include "viewer/times_parser.h"

namespace ampelon {
namespace {

std::string SkippedNote(const GraphLogParser& parser) {
  if (parser.SkippedLines() == 0) return {};
  return NumberText(parser.SkippedLines()) +
         (parser.SkippedLines() == 1 ? " line was" : " lines were") +
         " skipped because the value lies outside -32768..32767 (the first at line " +
         NumberText(parser.FirstSkippedLine()) + ").";
}

}  // namespace

Result<ChargeFile> ReadChargeFile(ByteSource& log, const std::string& name) {
  GraphLogParser parser(GraphLogParser::kNoCapacityLimit);
  if (const Result<GraphLogReadOutcome> read = ReadGraphLog(log, parser); !read) {
    return Failure{"Could not read " + name + ":\n" + read.error()};
  }
  ChargeFile file;
  if (parser.GetFailure() != GraphLogParser::Failure::kNone) {
    if (parser.FailureLine() <= 1) {
      return Failure{name + " is not a graph log: " + parser.FailureReason()};
    }
    file.notes = name + " is not a graph log from line " + NumberText(parser.FailureLine()) +
                 " on: " + parser.FailureReason() + " Only the lines before it were read.";
  }
  if (const std::string skipped = SkippedNote(parser); !skipped.empty()) {
    file.notes += (file.notes.empty() ? "" : "\n\n") + skipped;
  }
  file.charge.counts = parser.TakeReadings();
  file.charge.counts.shrink_to_fit();
  return file;
}

Result<void> ReadChargeTimes(ByteSource& times, Charge& charge) {
  TimesParser parser(charge.counts.size());
  std::array<char, 64 * 1024> buffer{};
  while (true) {
    const Result<std::size_t> count = times.Read(buffer);
    if (!count) return Failure{count.error()};
    if (*count == 0) break;
    parser.Feed({buffer.data(), *count});
    // The lines after the last reading's are of no use.
    if (parser.Ended() || parser.Seconds().size() >= charge.counts.size()) break;
  }
  parser.Finish();
  AttachTimes(parser.TakeSeconds(), charge);
  return {};
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

std::string TimesFileFor(const std::string& logName) {
  const auto folderEnd = logName.find_last_of("/\\");
  const auto nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
  const auto dot = logName.rfind('.');
  // A name that only starts with a dot (".log") has no extension.
  const bool hasExtension = dot != std::string::npos && dot > nameStart;
  return (hasExtension ? logName.substr(0, dot) : logName) + ".times";
}

}  // namespace ampelon
