#pragma once

#include <optional>

namespace ampelon {

// Where the simulated device's readings come from, one at a time.
class ReadingSource {
 public:
  virtual ~ReadingSource() = default;

  // The next reading; nothing once the source is exhausted.
  virtual std::optional<int> Next() = 0;
  // Starts again from the first reading.
  virtual void Rewind() = 0;
};

}  // namespace ampelon
