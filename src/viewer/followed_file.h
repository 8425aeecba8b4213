#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "common/result.h"
#include "files/regular_file.h"

namespace ampelon {

// A file that another program appends to, looked at again and again: each read gives the bytes
// added since the last one. Another file in its place (one written anew and renamed there), or
// the same file no longer beginning with what was read (emptied or cut), is read from its first
// byte again, so that old and new contents never mix. Files are opened as RegularFile opens
// them, so the program writing them can rename or remove them at any time. The file read last
// is held until the next read (or LetGo()), so that no new file can take its identity
// meanwhile.
class FollowedFile {
 public:
  struct Update {
    bool fromStart = false;  // `bytes` begin at the file's first byte: drop what was read before
    std::string bytes;
  };

  explicit FollowedFile(std::filesystem::path path);

  // The file now at the path, opened for Read(); nothing when there is none. Fails with the
  // reason when it is there but cannot be opened.
  Result<std::optional<RegularFile>> Open() const;
  // Whether `file` (from Open()) is still the one at the path.
  bool InPlace(const RegularFile& file) const;
  // What `file` (from Open()) holds beyond what was read; a file of any size is read over as
  // many calls as it takes, a few megabytes each.
  Result<Update> Read(RegularFile file);
  // Forgets what was read: the next Read() starts from the first byte.
  void Reset();
  // Lets go of the file read last, remembering what was read: on Windows a file removed while
  // it is held keeps its name until then.
  void LetGo() { m_held.reset(); }

 private:
  Result<bool> StillBegins(RegularFile& file) const;

  std::filesystem::path m_path;
  std::optional<RegularFile::Identity> m_read;  // the file read last
  std::optional<RegularFile> m_held;            // that file, while it is held
  std::uint64_t m_offset = 0;                   // bytes read from it so far
  std::string m_head;  // the first bytes read, to tell that it is unchanged
  std::string m_tail;  // the last bytes read, likewise
};

}  // namespace ampelon
