#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/result.h"

namespace ampelon {

// A file that another program appends to, looked at again and again: each Read() gives the bytes
// added since the last one. When what was read no longer begins the file (it was emptied,
// replaced or written anew), the next Read() starts from the file's first byte again, so that
// old and new contents never mix. The file is opened only for the moment of a read, so the
// program writing it can always remove it.
class FollowedFile {
 public:
  struct Update {
    bool missing = false;    // there is no such file (yet, or any more)
    bool fromStart = false;  // `bytes` begin at the file's first byte: drop what was read before
    std::string bytes;
  };

  explicit FollowedFile(std::filesystem::path path);

  // Fails with the reason when the file is there but cannot be read; nothing changes then.
  Result<Update> Read();
  // Forgets what was read: the next Read() starts from the first byte.
  void Reset();

 private:
  Result<Update> ReadOnce();
  bool StillBegins(std::istream& in);

  std::filesystem::path m_path;
  std::uint64_t m_offset = 0;  // bytes read so far
  std::string m_head;          // the first bytes read, to tell that the file is still the same
  std::string m_tail;          // the last bytes read, likewise
};

}  // namespace ampelon
