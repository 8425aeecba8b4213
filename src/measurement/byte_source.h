#pragma once

#include <cstddef>
#include <span>

#include "common/result.h"

namespace ampelon {

// A file opened for reading, read from its start to its end.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to buffer.size() bytes into `buffer`: how many were read (0 at the end), or why
  // reading failed.
  virtual Result<std::size_t> Read(std::span<char> buffer) = 0;
};

}  // namespace ampelon
