#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ampelon {

// The text of the settings file: an INI file whose general section (keys before the first group
// header and under [General]) holds the named settings. Values are read and replaced in place;
// every other line — other groups such as [Ports], comments, line endings — is kept byte for
// byte. Keys and values are written as Qt's INI reader expects, so either can read the other's
// file.
class IniDocument {
 public:
  explicit IniDocument(std::string_view text);

  // The text of a general-section value; the last one when the key appears more than once, as
  // Qt's reader does.
  std::optional<std::string> Value(std::string_view key) const;
  // Replaces the value where it stands (dropping duplicates) or adds it to the general section.
  void SetValue(std::string_view key, std::string_view text);
  void RemoveValue(std::string_view key);
  std::string Text() const;

 private:
  // Indices of the general-section lines that hold `key`, in file order.
  std::vector<std::size_t> LinesOf(std::string_view key) const;
  // Where a new general-section line goes: after the last entry of the general section.
  std::size_t InsertionPoint() const;

  std::vector<std::string> m_lines;
  bool m_endsWithNewline = false;
};

}  // namespace ampelon
