#include "charger/ports_section.h"

#include <algorithm>

namespace ampelon {
namespace {

constexpr std::string_view kGroupName = "Ports";

enum class LineType { kBlank, kHeader, kEntry, kOther };

struct LineParts {
  LineType type = LineType::kOther;
  std::string name;  // the group name of a header, the key of an entry
  std::string_view rawValue;
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

// Group names and keys as Qt stores them: %XX for unusual bytes, '\' for '/'.
std::string UnescapedName(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '%' && i + 2 < name.size() && HexValue(name[i + 1]) >= 0 &&
        HexValue(name[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(name[i + 1]) * 16 + HexValue(name[i + 2]));
      i += 2;
    } else {
      out += name[i] == '\\' ? '/' : name[i];
    }
  }
  return out;
}

LineParts Parse(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line = Trimmed(line);
  LineParts parts;
  if (line.empty()) {
    parts.type = LineType::kBlank;
  } else if (line.front() == '[') {
    const std::size_t close = line.find(']');
    parts.type = LineType::kHeader;
    parts.name = UnescapedName(line.substr(1, close == std::string_view::npos ? close : close - 1));
  } else if (const std::size_t equals = line.find('=');
             line.front() != ';' && equals != std::string_view::npos) {
    parts.type = LineType::kEntry;
    parts.name = UnescapedName(Trimmed(line.substr(0, equals)));
    parts.rawValue = line.substr(equals + 1);
  }
  return parts;
}

// Reads a value as Qt does for the texts written here and by hand: quoted parts, backslash
// escapes of single characters and octal bytes, a ';' comment after an unquoted part.
std::string UnescapedValue(std::string_view raw) {
  raw = Trimmed(raw);
  std::string out;
  std::size_t keepUpTo = 0;  // blanks before this point were quoted or escaped
  bool quoted = false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '"') {
      quoted = !quoted;
      keepUpTo = out.size();
    } else if (c == ';' && !quoted) {
      break;
    } else if (c == '\\' && i + 1 < raw.size()) {
      const char next = raw[++i];
      if (next >= '0' && next <= '7') {
        int code = next - '0';
        for (int digits = 1;
             digits < 3 && i + 1 < raw.size() && raw[i + 1] >= '0' && raw[i + 1] <= '7'; ++digits) {
          code = code * 8 + (raw[++i] - '0');
        }
        out += static_cast<char>(code);
      } else {
        out += next;
      }
      keepUpTo = out.size();
    } else {
      out += c;
      if (quoted) keepUpTo = out.size();
    }
  }
  while (out.size() > keepUpTo && IsBlank(out.back())) out.pop_back();
  return out;
}

bool IsPlainValueByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         std::string_view("/._-+:~").find(c) != std::string_view::npos || byte >= 0x80;
}

}  // namespace

PortsSection::PortsSection(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      m_lines.push_back({std::string(text.substr(start))});
      break;
    }
    m_lines.push_back({std::string(text.substr(start, end - start))});
    start = end + 1;
  }
  m_endsWithNewline = !text.empty() && text.back() == '\n';
  Classify();
}

std::optional<std::string> PortsSection::Value(std::string_view key) const {
  const std::vector<std::size_t> lines = LinesOf(key);
  if (lines.empty()) return std::nullopt;
  return UnescapedValue(Parse(m_lines[lines.back()].text).rawValue);
}

std::optional<std::string> PortsSection::EntryLine(std::string_view key) const {
  const std::vector<std::size_t> lines = LinesOf(key);
  if (lines.empty()) return std::nullopt;
  std::string_view text = m_lines[lines.back()].text;
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return std::string(text);
}

void PortsSection::SetEntryLine(std::string_view key, std::string_view line) {
  const std::string text = std::string(line) + LineEnding();
  const std::vector<std::size_t> lines = LinesOf(key);
  if (!lines.empty()) {
    m_lines[lines.back()].text = text;
    return;
  }
  // After the last non-blank line of the last [Ports] group, if there is one.
  std::optional<std::size_t> insertAt;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const LineParts parts = Parse(m_lines[i].text);
    if ((parts.type == LineType::kHeader && parts.name == kGroupName) ||
        (m_lines[i].inPorts && parts.type != LineType::kBlank)) {
      insertAt = i + 1;
    }
  }
  if (insertAt) {
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), {text, true});
  } else {
    if (!m_lines.empty() && Parse(m_lines.back().text).type != LineType::kBlank) {
      m_lines.push_back({LineEnding()});
    }
    // Built piece by piece: GCC 12 at -O3 warns falsely (restrict) on chained string +.
    std::string header = "[";
    header += kGroupName;
    header += ']';
    header += LineEnding();
    m_lines.push_back({header, true});
    m_lines.push_back({text, true});
    m_endsWithNewline = true;
  }
  Classify();
}

void PortsSection::SetValue(std::string_view key, std::string_view value) {
  SetEntryLine(key, std::string(key) + '=' + ValueText(value));
}

void PortsSection::RemoveValue(std::string_view key) {
  const std::vector<std::size_t> lines = LinesOf(key);
  for (auto at = lines.rbegin(); at != lines.rend(); ++at) {
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*at));
  }
  // Drop [Ports] headers whose group holds nothing but blank lines.
  for (std::size_t i = m_lines.size(); i-- > 0;) {
    const LineParts parts = Parse(m_lines[i].text);
    if (parts.type != LineType::kHeader || parts.name != kGroupName) continue;
    std::size_t end = i + 1;
    while (end < m_lines.size() && m_lines[end].inPorts &&
           Parse(m_lines[end].text).type == LineType::kBlank) {
      ++end;
    }
    if (end < m_lines.size() && m_lines[end].inPorts) continue;
    // A group at the end of the text takes the blank lines that set it apart with it.
    std::size_t begin = i;
    if (end == m_lines.size()) {
      while (begin > 0 && Parse(m_lines[begin - 1].text).type == LineType::kBlank) --begin;
    } else {
      end = i + 1;
    }
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(begin),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(end));
    i = begin;
  }
  Classify();
}

std::string PortsSection::Text() const {
  std::string text;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    text += m_lines[i].text;
    if (i + 1 < m_lines.size() || m_endsWithNewline) text += '\n';
  }
  return text;
}

std::string PortsSection::ValueText(std::string_view value) {
  if (!value.empty() && std::all_of(value.begin(), value.end(), IsPlainValueByte)) {
    return std::string(value);
  }
  // Control bytes as three-digit octal escapes, which never take a following digit.
  std::string out = "\"";
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += '\\';
      out += static_cast<char>('0' + (byte >> 6));
      out += static_cast<char>('0' + ((byte >> 3) & 7));
      out += static_cast<char>('0' + (byte & 7));
    } else {
      out += c;
    }
  }
  return out + '"';
}

void PortsSection::Classify() {
  bool inPorts = false;
  for (Line& line : m_lines) {
    const LineParts parts = Parse(line.text);
    if (parts.type == LineType::kHeader) {
      inPorts = parts.name == kGroupName;
      line.inPorts = false;
    } else {
      line.inPorts = inPorts;
    }
  }
}

std::vector<std::size_t> PortsSection::LinesOf(std::string_view key) const {
  std::vector<std::size_t> lines;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (!m_lines[i].inPorts) continue;
    const LineParts parts = Parse(m_lines[i].text);
    if (parts.type == LineType::kEntry && parts.name == key) lines.push_back(i);
  }
  return lines;
}

std::string PortsSection::LineEnding() const {
  const bool crlf =
      !m_lines.empty() && !m_lines.front().text.empty() && m_lines.front().text.back() == '\r';
  return crlf ? "\r" : "";
}

}  // namespace ampelon
