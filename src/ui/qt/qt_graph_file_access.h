#pragma once

#include "ui/graph_file_access.h"

namespace ampelon {

// Graph log files: regular files only, opened without waiting, and replaced in one step, so that
// a failed save (read-only folder, full disk) leaves any existing file whole.
class QtGraphFileAccess final : public GraphFileAccess {
 public:
  Result<std::unique_ptr<ByteSource>> OpenForReading(const std::string& fileName) override;
  bool FileExists(const std::string& fileName) override;
  Result<void> WriteWhole(const std::string& fileName, std::string_view bytes) override;
};

}  // namespace ampelon
