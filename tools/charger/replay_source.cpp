#include "charger/replay_source.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "measurement/graph_log_file.h"
#include "measurement/graph_log_parser.h"

namespace ampelon {

Result<std::vector<std::int16_t>> ReadReplayFile(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > kLargestReplayBytes) return Failure{path + ": too large for a graph log"};
  // A limit above the lines the file can hold, so that none is left out: each takes at least its
  // line ending, and only the last may have none. It is no reservation: the readings grow as they
  // are found and are handed over without a copy. What is no file fails to open with its reason.
  GraphLogParser parser(error ? 0 : static_cast<std::size_t>(size) + 1);
  if (const Result<GraphLogReadOutcome> read = ReadGraphLogFile(path, parser); !read) {
    return Failure{path + ": " + read.error()};
  }
  switch (parser.GetFailure()) {
    case GraphLogParser::Failure::kNone:
      break;
    case GraphLogParser::Failure::kNotText:
      return Failure{path + ": not a text file"};
    case GraphLogParser::Failure::kLineTooLong:
      return Failure{path + ": line " + std::to_string(parser.FailureLine()) +
                     " is longer than 1 MiB"};
  }
  if (parser.Readings().empty()) return Failure{path + ": no readings"};
  return parser.TakeReadings();
}

ReplaySource::ReplaySource(std::vector<std::int16_t> readings) : m_readings(std::move(readings)) {}

std::optional<int> ReplaySource::Next() {
  if (m_index >= m_readings.size()) return std::nullopt;
  return m_readings[m_index++];
}

void ReplaySource::Rewind() { m_index = 0; }

}  // namespace ampelon
