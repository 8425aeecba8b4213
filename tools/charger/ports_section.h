#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ampelon {

// The entries of the [Ports] group in the text of the settings file, where the program looks up
// a user's device path for a port number (key "COMn"). Only lines of that group change: every
// other line — other groups, comments, line endings — is kept byte for byte. Values are written
// as Qt's INI reader reads them. Keys match exactly, as Qt's do on Linux; when a key appears
// more than once (also across repeated [Ports] headers), the last entry is the one that counts.
class PortsSection {
 public:
  explicit PortsSection(std::string_view text);

  // The value of `key`, unquoted and unescaped.
  std::optional<std::string> Value(std::string_view key) const;
  // The whole line holding `key`, as written (without its line ending).
  std::optional<std::string> EntryLine(std::string_view key) const;

  // Replaces the line that counts for `key` where it stands, or adds `line` at the end of the
  // last [Ports] group, or adds a [Ports] group at the end of the text.
  void SetEntryLine(std::string_view key, std::string_view line);
  void SetValue(std::string_view key, std::string_view value);
  // Removes every line of `key`, and a [Ports] group that is left without any line.
  void RemoveValue(std::string_view key);

  std::string Text() const;

  // `value` as the text after "key=": as it is when Qt reads it unchanged, else in quotes.
  static std::string ValueText(std::string_view value);

 private:
  struct Line {
    std::string text;  // without the line feed; a CR of a CR LF ending stays
    bool inPorts = false;
  };

  void Classify();
  std::vector<std::size_t> LinesOf(std::string_view key) const;
  std::string LineEnding() const;

  std::vector<Line> m_lines;
  bool m_endsWithNewline = false;
};

}  // namespace ampelon
