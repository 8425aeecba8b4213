#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "common/result.h"

namespace ampelon {

// A regular file open for reading from its start. The platform's calls sit in
// regular_file_posix.cpp and regular_file_windows.cpp.
class RegularFile {
 public:
  // Opens `path` (a link is followed) when it is a regular file, and never waits: opening a
  // named pipe the usual way blocks until some program writes to it. Anything else fails with
  // NotRegularFileReason(); other failures give the system's reason.
  static Result<RegularFile> Open(const std::filesystem::path& path);

  RegularFile(RegularFile&& other) noexcept;
  RegularFile& operator=(RegularFile&& other) noexcept;
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;
  ~RegularFile();

  // Reads up to buffer.size() bytes: how many were read (0 at the end), or why reading failed.
  Result<std::size_t> Read(std::span<char> buffer);
  // The file's size when it was opened, in bytes.
  std::uintmax_t Size() const { return m_size; }

 private:
  RegularFile(int handle, std::uintmax_t size) : m_handle(handle), m_size(size) {}

  int m_handle = -1;
  std::uintmax_t m_size = 0;
};

}  // namespace ampelon
