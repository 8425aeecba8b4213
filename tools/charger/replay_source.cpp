#include "charger/replay_source.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

#include "common/leading_number.h"
#include "common/rounding.h"

namespace ampelon {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

void TakeLine(std::string_view line, std::vector<std::int16_t>& readings) {
  if (const auto value = RoundToInt16(LeadingNumber(line))) readings.push_back(*value);
}

}  // namespace

std::vector<std::int16_t> GraphLogReadings(std::string_view text) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  std::vector<std::int16_t> readings;
  std::size_t start = 0;
  for (std::size_t at = text.find_first_of("\r\n"); at != std::string_view::npos;
       at = text.find_first_of("\r\n", start)) {
    TakeLine(text.substr(start, at - start), readings);
    // CR LF is one line ending.
    start = at + (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1);
  }
  if (start < text.size()) TakeLine(text.substr(start), readings);
  return readings;
}

ReplayFile ReadReplayFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {{}, path + ": " + std::strerror(errno)};
  std::string text;
  char chunk[1 << 16];
  while (text.size() <= kLargestReplayBytes && file.read(chunk, sizeof chunk).gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(file.gcount()));
  }
  if (file.bad()) return {{}, path + ": read error"};
  if (text.size() > kLargestReplayBytes) return {{}, path + ": too large for a graph log"};
  if (text.find('\0') != std::string::npos || text.starts_with("\xFF\xFE") ||
      text.starts_with("\xFE\xFF")) {
    return {{}, path + ": not a text file"};
  }
  std::vector<std::int16_t> readings = GraphLogReadings(text);
  if (readings.empty()) return {{}, path + ": no readings"};
  return {std::move(readings), {}};
}

ReplaySource::ReplaySource(std::vector<std::int16_t> readings) : m_readings(std::move(readings)) {}

std::optional<int> ReplaySource::Next() {
  if (m_index >= m_readings.size()) return std::nullopt;
  return m_readings[m_index++];
}

void ReplaySource::Rewind() { m_index = 0; }

}  // namespace ampelon
