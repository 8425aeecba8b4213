#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "common/result.h"

namespace ampelon {

// A file written only at its end, whose data can be forced onto the disk. Its handle is set
// when it is created and closed when the object goes, so one thread may write while another
// forces the data onto the disk. It may be renamed or removed while it is open. The platform's
// own calls sit in journal_file_posix.cpp and journal_file_windows.cpp.
class JournalFile {
 public:
  // Creates `path` empty (or empties it).
  static Result<std::unique_ptr<JournalFile>> Create(const std::filesystem::path& path);

  JournalFile(const JournalFile&) = delete;
  JournalFile& operator=(const JournalFile&) = delete;
  ~JournalFile();

  // Adds `bytes` at the end with one system call where the system allows.
  Result<void> Append(std::string_view bytes);
  // Returns once the data written so far is on the disk.
  Result<void> SyncData();

 private:
  explicit JournalFile(int handle) : m_handle(handle) {}

  const int m_handle;
};

// Returns once the files renamed into or out of `folder` so far keep their names after a power
// cut.
Result<void> SyncFolder(const std::filesystem::path& folder);

}  // namespace ampelon
