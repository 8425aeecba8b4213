#include "charger/replay_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

#include "measurement/graph_log_parser.h"

namespace ampelon {

Result<std::vector<std::int16_t>> ReadReplayFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Failure{path + ": " + std::strerror(errno)};
  std::string text;
  char chunk[1 << 16];
  while (text.size() <= kLargestReplayBytes && file.read(chunk, sizeof chunk).gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(file.gcount()));
  }
  if (file.bad()) return Failure{path + ": read error"};
  if (text.size() > kLargestReplayBytes) return Failure{path + ": too large for a graph log"};

  // Room for every line, so that none is left out: only the last line has no CR or LF.
  const auto lineEnds =
      std::count_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
  GraphLogParser parser(static_cast<std::size_t>(lineEnds) + 1);
  parser.Feed(text);
  parser.Finish();
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
  return parser.Readings();
}

ReplaySource::ReplaySource(std::vector<std::int16_t> readings) : m_readings(std::move(readings)) {}

std::optional<int> ReplaySource::Next() {
  if (m_index >= m_readings.size()) return std::nullopt;
  return m_readings[m_index++];
}

void ReplaySource::Rewind() { m_index = 0; }

}  // namespace ampelon
