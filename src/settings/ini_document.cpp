#include "settings/ini_document.h"

#include <algorithm>
#include <cstdint>

namespace ampelon {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class LineType { kOther, kHeader, kEntry };

struct LineParts {
  LineType type = LineType::kOther;
  std::string name;           // the unescaped group name or key
  std::string_view rawValue;  // what follows the '=' of an entry
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

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

// Keys as Qt writes them: letters, digits, '_', '-' and '.' as they are, '/' as '\', every
// other byte as %XX (so "Last Path" is "Last%20Path").
std::string EscapedKey(std::string_view key) {
  std::string out;
  for (const char c : key) {
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
        c == '-' || c == '.') {
      out += c;
    } else if (c == '/') {
      out += '\\';
    } else {
      out += '%';
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 0x0F];
    }
  }
  return out;
}

std::string UnescapedKey(std::string_view key) {
  std::string out;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (key[i] == '%' && i + 2 < key.size() && HexValue(key[i + 1]) >= 0 &&
        HexValue(key[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(key[i + 1]) * 16 + HexValue(key[i + 2]));
      i += 2;
    } else {
      out += key[i] == '\\' ? '/' : key[i];
    }
  }
  return out;
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
    if (escapeHexDigit && HexValue(c) >= 0) {
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
  raw = Trimmed(raw);
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
        for (int digits = 0; digits < 6 && i < raw.size() && HexValue(raw[i]) >= 0; ++digits) {
          code = code * 16 + static_cast<std::uint32_t>(HexValue(raw[i++]));
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
  while (out.size() > keepUpTo && IsBlank(out.back())) out.pop_back();
  // Qt's own form of a text that starts with '@'.
  if (out.rfind("@@", 0) == 0) out.erase(0, 1);
  return out;
}

LineParts Parse(std::string_view line) {
  if (line.rfind(kByteOrderMark, 0) == 0) line.remove_prefix(kByteOrderMark.size());
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line = Trimmed(line);
  LineParts parts;
  if (line.empty() || line.front() == ';') return parts;
  if (line.front() == '[') {
    const std::size_t close = line.find(']');
    parts.type = LineType::kHeader;
    parts.name = UnescapedKey(line.substr(1, close == std::string_view::npos ? close : close - 1));
    return parts;
  }
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return parts;
  parts.type = LineType::kEntry;
  parts.name = UnescapedKey(Trimmed(line.substr(0, equals)));
  parts.rawValue = line.substr(equals + 1);
  return parts;
}

bool IsGeneralHeader(const LineParts& parts) {
  return parts.type == LineType::kHeader && EqualsIgnoringCase(parts.name, "general");
}

}  // namespace

IniDocument::IniDocument(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      m_lines.emplace_back(text.substr(start));
      return;
    }
    m_lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  m_endsWithNewline = !text.empty();
}

std::optional<std::string> IniDocument::Value(std::string_view key) const {
  const std::vector<std::size_t> lines = LinesOf(key);
  if (lines.empty()) return std::nullopt;
  return UnescapedValue(Parse(m_lines[lines.back()]).rawValue);
}

void IniDocument::SetValue(std::string_view key, std::string_view text) {
  // New lines follow the file's line ending.
  const bool crlf = !m_lines.empty() && !m_lines.front().empty() && m_lines.front().back() == '\r';
  const std::string eol = crlf ? "\r" : "";
  std::string line = EscapedKey(key) + '=' + EscapedValue(text) + eol;
  std::vector<std::size_t> lines = LinesOf(key);
  if (!lines.empty()) {
    m_lines[lines.front()] = std::move(line);
    for (auto at = lines.rbegin(); at + 1 != lines.rend(); ++at) {
      m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*at));
    }
  } else if (const std::size_t at = InsertionPoint(); at != 0) {
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  } else {
    // No general section yet: open one at the top, above any other group.
    std::vector<std::string> head = {"[General]" + eol, std::move(line)};
    if (!m_lines.empty()) head.push_back(eol);
    m_lines.insert(m_lines.begin(), head.begin(), head.end());
  }
  m_endsWithNewline = true;
}

void IniDocument::RemoveValue(std::string_view key) {
  const std::vector<std::size_t> lines = LinesOf(key);
  for (auto at = lines.rbegin(); at != lines.rend(); ++at) {
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*at));
  }
}

std::string IniDocument::Text() const {
  std::string text;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    text += m_lines[i];
    if (i + 1 < m_lines.size() || m_endsWithNewline) text += '\n';
  }
  return text;
}

std::vector<std::size_t> IniDocument::LinesOf(std::string_view key) const {
  std::vector<std::size_t> lines;
  bool general = true;  // keys before the first header belong to the general section
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const LineParts parts = Parse(m_lines[i]);
    if (parts.type == LineType::kHeader) general = IsGeneralHeader(parts);
    if (general && parts.type == LineType::kEntry && parts.name == key) lines.push_back(i);
  }
  return lines;
}

std::size_t IniDocument::InsertionPoint() const {
  std::size_t at = 0;
  bool general = true;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const LineParts parts = Parse(m_lines[i]);
    if (parts.type == LineType::kHeader) {
      general = IsGeneralHeader(parts);
      if (general && at == 0) at = i + 1;
    } else if (general && parts.type == LineType::kEntry) {
      at = i + 1;
    }
  }
  return at;
}

}  // namespace ampelon
