#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ampelon {

// The text of the settings file, the one reader and writer of its INI form: the program's named
// settings in the general section (keys before the first group header and under [General]), the
// port overrides in [Ports]. Any bytes parse. Values are read and replaced in place; every other
// line — other groups and keys, comments, CR LF endings — is kept byte for byte, and so is a
// leading UTF-8 byte order mark, which stays the file's first bytes. Keys, group names and
// values are escaped as Qt's INI reader expects, so files written by hand, by Qt or by earlier
// versions read the same, and a value holding CR, LF, NUL, '=' or '[' stays on its own line.
class IniDocument {
 public:
  // The general section; "General" in any case names it too.
  static constexpr std::string_view kGeneral = "";

  explicit IniDocument(std::string_view text);

  // The unescaped value of `key` in `group`; the last one when the key appears more than once,
  // also across repeated headers of the group, as Qt's reader does. Names match exactly.
  std::optional<std::string> Value(std::string_view group, std::string_view key) const;
  // The keys of `group` in the order they first appear, each once.
  std::vector<std::string> Keys(std::string_view group) const;
  // Replaces the value where it stands (dropping duplicates), or adds it after the group's last
  // entry, or adds the group: the general section at the top, any other group at the end.
  void SetValue(std::string_view group, std::string_view key, std::string_view value);
  // Removes every entry of `key` in `group`, and a header of the group left without lines.
  void RemoveValue(std::string_view group, std::string_view key);
  std::string Text() const;

 private:
  struct Found {
    std::vector<std::size_t> entries;    // the lines holding the key, in file order
    std::optional<std::size_t> newLine;  // where a new entry of the group goes
  };

  Found Find(std::string_view group, std::string_view key) const;
  void DropEmptyHeaders(std::string_view group);
  // What ends a new line before its line feed: the first line's ending.
  std::string LineEnding() const;

  bool m_byteOrderMark = false;
  std::vector<std::string> m_lines;  // without line feeds; a CR of a CR LF ending stays
  bool m_endsWithNewline = false;
};

}  // namespace ampelon
