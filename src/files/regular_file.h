#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "common/result.h"

namespace ampelon {

// A regular file open for reading from its start. While it is open, other programs may still
// rename, replace or remove it. The platform's calls sit in regular_file_posix.cpp and
// regular_file_windows.cpp.
class RegularFile {
 public:
  // Which file it is, whatever its name: a file written anew and renamed into place is another
  // one. No other file can take an identity while a file that has it is open.
  struct Identity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const Identity&) const = default;
  };

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
  // Reads up to buffer.size() bytes from `offset` on; where Read() goes on afterwards is unsaid.
  Result<std::size_t> ReadAt(std::uint64_t offset, std::span<char> buffer);
  // The file's size when it was opened, in bytes.
  std::uintmax_t Size() const { return m_size; }
  const Identity& GetIdentity() const { return m_identity; }

 private:
  RegularFile(int handle, std::uintmax_t size) : m_handle(handle), m_size(size) {}

  int m_handle = -1;
  std::uintmax_t m_size = 0;
  Identity m_identity;
};

}  // namespace ampelon
