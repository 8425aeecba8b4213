#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace ampelon {

// A file opened for reading, read from its start to its end.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to buffer.size() bytes into `buffer`: how many were read (0 at the end), or nothing
  // when reading failed; Error() then says why.
  virtual std::optional<std::size_t> Read(std::span<char> buffer) = 0;
  virtual std::string Error() const = 0;
};

}  // namespace ampelon
