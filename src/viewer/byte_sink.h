#pragma once

#include <string_view>

#include "common/result.h"

namespace ampelon {

// Where an export writes its bytes, in pieces, in order.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Fails with the system's reason (for the user) when the bytes cannot be written.
  virtual Result<void> Write(std::string_view bytes) = 0;
};

}  // namespace ampelon
