#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace ampelon {

class ByteSource;

// Opening and writing graph log files. Reasons are the operating system's, for the user.
class GraphFileAccess {
 public:
  struct Opened {
    std::unique_ptr<ByteSource> file;  // nothing when the file could not be opened
    std::string error;
  };

  virtual ~GraphFileAccess() = default;
  // Only a regular file opens; a folder, a named pipe or a device gives the reason at once.
  virtual Opened OpenForReading(const std::string& fileName) = 0;
  // True when saving under that name would replace something (a file, not a folder).
  virtual bool FileExists(const std::string& fileName) = 0;
  // Replaces the file with `bytes` in one step: a failed write leaves any existing file whole.
  // The empty text when it worked, otherwise the reason.
  virtual std::string WriteWhole(const std::string& fileName, std::string_view bytes) = 0;
};

}  // namespace ampelon
