#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/result.h"

namespace ampelon {

class ByteSource;

// Opening and writing graph log files. Reasons are the operating system's, for the user.
class GraphFileAccess {
 public:
  virtual ~GraphFileAccess() = default;
  // Only a regular file opens; a folder, a named pipe or a device fails with the reason at once.
  virtual Result<std::unique_ptr<ByteSource>> OpenForReading(const std::string& fileName) = 0;
  // True when saving under that name would replace something (a file, not a folder).
  virtual bool FileExists(const std::string& fileName) = 0;
  // Replaces the file with `bytes` in one step: a failed write leaves any existing file whole.
  virtual Result<void> WriteWhole(const std::string& fileName, std::string_view bytes) = 0;
};

}  // namespace ampelon
