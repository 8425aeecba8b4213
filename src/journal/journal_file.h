#pragma once

#include <filesystem>
#include <string_view>

#include "common/result.h"

namespace ampelon {

// A file written only at its end, whose data can be forced onto the disk. The platform's own
// calls sit in journal_file_posix.cpp and journal_file_windows.cpp.
class JournalFile {
 public:
  JournalFile() = default;
  JournalFile(const JournalFile&) = delete;
  JournalFile& operator=(const JournalFile&) = delete;
  ~JournalFile() { Close(); }

  // Creates `path` empty (or empties it) for this object; any file held before is closed.
  Result<void> Create(const std::filesystem::path& path);
  bool IsOpen() const { return m_handle >= 0; }
  // Adds `bytes` at the end with one system call where the system allows.
  Result<void> Append(std::string_view bytes);
  // Drops everything written so far.
  Result<void> Empty();
  // Returns once the data written so far is on the disk.
  Result<void> SyncData();
  void Close();

 private:
  int m_handle = -1;
};

}  // namespace ampelon
