#include "settings/ini_document.h"

#include <algorithm>
#include <cstdint>

#include "settings/ini_line.h"

namespace ampelon {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | ((codePoint >> 18) & 0x07));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

// A value always in quotes, so that commas, ';' and outer blanks stay part of it. Control bytes
// become \xH; a hex digit right after such an escape is escaped too, since the escape takes
// every hex digit that follows. A leading '@' is doubled: Qt reads "@..." as a typed value.
std::string EscapedValue(std::string_view text) {
  std::string out = "\"";
  if (!text.empty() && text.front() == '@') out += '@';
  bool escapeHexDigit = false;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (escapeHexDigit && IniHexDigitValue(c) >= 0) {
      out += "\\x";
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 0x0F];
      continue;
    }
    escapeHexDigit = false;
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      if (byte >= 0x10) out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 0x0F];
      escapeHexDigit = true;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

// Reads a value the way Qt's INI reader does: quoted and unquoted parts joined, backslash
// escapes in both, an unquoted ';' starts a comment, blanks around unquoted parts dropped.
std::string UnescapedValue(std::string_view raw) {
  raw = TrimmedIniText(raw);
  std::string out;
  std::size_t keepUpTo = 0;  // blanks before this point were quoted or escaped
  bool quoted = false;
  std::size_t i = 0;
  while (i < raw.size()) {
    const char c = raw[i++];
    if (c == '"') {
      quoted = !quoted;
      keepUpTo = out.size();
    } else if (c == ';' && !quoted) {
      break;
    } else if (c != '\\' || i == raw.size()) {
      out += c;
      if (quoted) keepUpTo = out.size();
    } else {
      const char kind = raw[i++];
      std::uint32_t code = 0;
      if (kind == 'x') {
        // At most six digits: no code point is longer, and the sum cannot overflow.
        for (int digits = 0; digits < 6 && i < raw.size() && IniHexDigitValue(raw[i]) >= 0;
             ++digits) {
          code = code * 16 + static_cast<std::uint32_t>(IniHexDigitValue(raw[i++]));
        }
        AppendUtf8(out, std::min<std::uint32_t>(code, 0x10FFFF));
      } else if (kind >= '0' && kind <= '7') {
        code = static_cast<std::uint32_t>(kind - '0');
        for (int digits = 1; digits < 3 && i < raw.size() && raw[i] >= '0' && raw[i] <= '7';
             ++digits) {
          code = code * 8 + static_cast<std::uint32_t>(raw[i++] - '0');
        }
        AppendUtf8(out, code);
      } else {
        constexpr std::string_view kLetters = "abfnrtv";
        constexpr std::string_view kControls = "\a\b\f\n\r\t\v";
        const std::size_t at = kLetters.find(kind);
        out += at == std::string_view::npos ? kind : kControls[at];
      }
      keepUpTo = out.size();
    }
  }
  while (out.size() > keepUpTo && IsIniBlank(out.back())) out.pop_back();
  // Qt's own form of a text that starts with '@'.
  if (out.rfind("@@", 0) == 0) out.erase(0, 1);
  return out;
}

bool IsGeneral(std::string_view group) {
  return group == IniDocument::kGeneral || EqualsIgnoringCase(group, "general");
}

bool InGroup(const IniLine& header, std::string_view group) {
  return IsGeneral(header.name) ? IsGeneral(group) : header.name == group;
}

bool IsBlank(std::string_view line) { return ParseIniLine(line).type == IniLineType::kBlank; }

}  // namespace

IniDocument::IniDocument(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) {
    m_byteOrderMark = true;
    text.remove_prefix(kByteOrderMark.size());
  }
  m_lines = SplitIniLines(text);
  m_endsWithNewline = !text.empty() && text.back() == '\n';
}

std::optional<std::string> IniDocument::Value(std::string_view group, std::string_view key) const {
  const Found found = Find(group, key);
  if (found.entries.empty()) return std::nullopt;
  return UnescapedValue(ParseIniLine(m_lines[found.entries.back()]).rawValue);
}

std::vector<std::string> IniDocument::Keys(std::string_view group) const {
  std::vector<std::string> keys;
  bool inGroup = IsGeneral(group);
  for (const std::string& line : m_lines) {
    IniLine parts = ParseIniLine(line);
    if (parts.type == IniLineType::kHeader) {
      inGroup = InGroup(parts, group);
    } else if (inGroup && parts.type == IniLineType::kEntry &&
               std::find(keys.begin(), keys.end(), parts.name) == keys.end()) {
      keys.push_back(std::move(parts.name));
    }
  }
  return keys;
}

void IniDocument::SetValue(std::string_view group, std::string_view key, std::string_view value) {
  const std::string eol = LineEnding();
  std::string line = EscapedIniName(key) + '=' + EscapedValue(value) + eol;
  const Found found = Find(group, key);
  std::size_t at = 0;
  if (!found.entries.empty()) {
    at = found.entries.front();
    m_lines[at] = std::move(line);
    for (auto later = found.entries.rbegin(); later + 1 != found.entries.rend(); ++later) {
      m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*later));
    }
  } else if (found.newLine) {
    at = *found.newLine;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  } else if (IsGeneral(group)) {
    // Opened at the top (below the byte order mark), above any other group.
    std::vector<std::string> head = {"[General]" + eol, std::move(line)};
    if (!m_lines.empty()) head.push_back(eol);
    m_lines.insert(m_lines.begin(), head.begin(), head.end());
    at = 1;
  } else {
    if (!m_lines.empty() && !IsBlank(m_lines.back())) m_lines.push_back(eol);
    // Built piece by piece: GCC 12 at -O3 warns falsely (restrict) on chained string +.
    std::string header = "[";
    header += EscapedIniName(group);
    header += ']';
    header += eol;
    m_lines.push_back(std::move(header));
    m_lines.push_back(std::move(line));
    at = m_lines.size() - 1;
  }
  if (at + 1 == m_lines.size()) m_endsWithNewline = true;
}

void IniDocument::RemoveValue(std::string_view group, std::string_view key) {
  const Found found = Find(group, key);
  if (found.entries.empty()) return;
  for (auto at = found.entries.rbegin(); at != found.entries.rend(); ++at) {
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*at));
  }
  DropEmptyHeaders(group);
  // The byte order mark's bytes are skipped only at the very start of the file: a line that
  // begins with them must not move up to there, or it would read as another line ("[Ports]"
  // instead of an entry). A blank line keeps it where it is.
  if (!m_byteOrderMark && !m_lines.empty() && m_lines.front().starts_with(kByteOrderMark)) {
    m_lines.insert(m_lines.begin(), std::string());
  }
}

std::string IniDocument::Text() const {
  std::string text(m_byteOrderMark ? kByteOrderMark : std::string_view());
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    text += m_lines[i];
    if (i + 1 < m_lines.size() || m_endsWithNewline) text += '\n';
  }
  return text;
}

IniDocument::Found IniDocument::Find(std::string_view group, std::string_view key) const {
  Found found;
  bool inGroup = IsGeneral(group);  // keys before the first header belong to the general section
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const IniLine parts = ParseIniLine(m_lines[i]);
    if (parts.type == IniLineType::kHeader) {
      inGroup = InGroup(parts, group);
      if (inGroup) found.newLine = i + 1;
    } else if (inGroup && parts.type == IniLineType::kEntry) {
      found.newLine = i + 1;
      if (parts.name == key) found.entries.push_back(i);
    }
  }
  return found;
}

void IniDocument::DropEmptyHeaders(std::string_view group) {
  for (std::size_t i = m_lines.size(); i-- > 0;) {
    const IniLine parts = ParseIniLine(m_lines[i]);
    if (parts.type != IniLineType::kHeader || !InGroup(parts, group)) continue;
    std::size_t end = i + 1;
    while (end < m_lines.size() && IsBlank(m_lines[end])) ++end;
    if (end < m_lines.size() && ParseIniLine(m_lines[end]).type != IniLineType::kHeader) continue;
    // The blank lines after the header go with it; at the end of the text, so do those that
    // set the group apart.
    std::size_t begin = i;
    if (end == m_lines.size()) {
      while (begin > 0 && IsBlank(m_lines[begin - 1])) --begin;
    }
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(begin),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(end));
    i = begin;
  }
}

std::string IniDocument::LineEnding() const {
  return IniLineEnding(m_lines.empty() ? std::string_view() : m_lines.front());
}

}  // namespace ampelon
