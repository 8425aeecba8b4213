#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ampelon {

// The line-level reading of the settings file's INI text, for IniDocument, which everything
// else goes through.

enum class IniLineType { kBlank, kHeader, kEntry, kOther };

struct IniLine {
  IniLineType type = IniLineType::kOther;
  std::string name;           // the unescaped group name of a header, the key of an entry
  std::string_view rawValue;  // what follows the '=' of an entry; points into the parsed line
};

bool IsIniBlank(char c);
// `text` without the blanks (spaces and tabs) around it.
std::string_view TrimmedIniText(std::string_view text);
// The value of a hex digit in either case, or -1.
int IniHexDigitValue(char c);

// Classifies one line (without its line feed; a CR of a CR LF ending is ignored). A line whose
// first non-blank is ';' is a comment (kOther); so is a line that is neither header nor entry.
IniLine ParseIniLine(std::string_view line);

// Group names and keys as Qt stores them: letters, digits, '_', '-' and '.' as they are, '/' as
// '\', every other byte as %XX (so "Last Path" is "Last%20Path").
std::string EscapedIniName(std::string_view name);
std::string UnescapedIniName(std::string_view name);

// The lines of `text` without their line feeds (a CR of a CR LF ending stays, so the lines go
// back byte for byte); a final line feed does not start another line.
std::vector<std::string> SplitIniLines(std::string_view text);
// What goes before the line feed of a new line: "\r" when the file's first line ends CR LF.
std::string IniLineEnding(std::string_view firstLine);

}  // namespace ampelon
