#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "charger/reading_source.h"

namespace ampelon {

// The readings of a graph log file, read as the program reads one: a line ends at CR LF, a lone
// CR or a lone LF (a last line without an ending counts too); each line gives the number at its
// start rounded to a whole number, ties to even; lines whose value lies outside -32768..32767
// are skipped. A UTF-8 byte order mark at the start is ignored.
std::vector<std::int16_t> GraphLogReadings(std::string_view text);

// The result of reading a replay file: readings, or why there are none.
struct ReplayFile {
  std::vector<std::int16_t> readings;
  std::string error;  // empty when `readings` holds the file's readings
};

// Reads the graph log at `path`. Fails when it cannot be read, is binary (NUL bytes or a UTF-16
// byte order mark), is larger than kLargestReplayBytes or holds no readings.
ReplayFile ReadReplayFile(const std::string& path);
inline constexpr std::size_t kLargestReplayBytes = std::size_t{64} << 20;

// Sends the readings of a replay file in order.
class ReplaySource : public ReadingSource {
 public:
  explicit ReplaySource(std::vector<std::int16_t> readings);

  std::optional<int> Next() override;
  void Rewind() override;

 private:
  std::vector<std::int16_t> m_readings;
  std::size_t m_index = 0;
};

}  // namespace ampelon
