#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "charger/reading_source.h"
#include "common/result.h"

namespace ampelon {

// Larger files are refused rather than read into memory.
inline constexpr std::size_t kLargestReplayBytes = std::size_t{64} << 20;

// Every reading of the graph log at `path`, read as File > Load Graph reads it, however
// many more than the program's store holds. Fails when the file cannot be read, is larger than
// kLargestReplayBytes, is no graph log (binary data, a line longer than 1 MiB) or holds no
// readings.
Result<std::vector<std::int16_t>> ReadReplayFile(const std::string& path);

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
