#include "charger/ports_section.h"

#include <algorithm>
#include <utility>

#include "settings/ini_line.h"

namespace ampelon {
namespace {

constexpr std::string_view kGroupName = "Ports";

// Reads a value as Qt does for the texts written here and by hand: quoted parts, backslash
// escapes of single characters and octal bytes, a ';' comment after an unquoted part.
std::string UnescapedValue(std::string_view raw) {
  raw = TrimmedIniText(raw);
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
  while (out.size() > keepUpTo && IsIniBlank(out.back())) out.pop_back();
  return out;
}

bool IsPlainValueByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         std::string_view("/._-+:~").find(c) != std::string_view::npos || byte >= 0x80;
}

}  // namespace

PortsSection::PortsSection(std::string_view text) {
  for (std::string& line : SplitIniLines(text)) m_lines.push_back({std::move(line)});
  m_endsWithNewline = !text.empty() && text.back() == '\n';
  Classify();
}

std::optional<std::string> PortsSection::Value(std::string_view key) const {
  const std::vector<std::size_t> lines = LinesOf(key);
  if (lines.empty()) return std::nullopt;
  return UnescapedValue(ParseIniLine(m_lines[lines.back()].text).rawValue);
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
    const IniLine parts = ParseIniLine(m_lines[i].text);
    if ((parts.type == IniLineType::kHeader && parts.name == kGroupName) ||
        (m_lines[i].inPorts && parts.type != IniLineType::kBlank)) {
      insertAt = i + 1;
    }
  }
  if (insertAt) {
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), {text, true});
  } else {
    if (!m_lines.empty() && ParseIniLine(m_lines.back().text).type != IniLineType::kBlank) {
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
    const IniLine parts = ParseIniLine(m_lines[i].text);
    if (parts.type != IniLineType::kHeader || parts.name != kGroupName) continue;
    std::size_t end = i + 1;
    while (end < m_lines.size() && m_lines[end].inPorts &&
           ParseIniLine(m_lines[end].text).type == IniLineType::kBlank) {
      ++end;
    }
    if (end < m_lines.size() && m_lines[end].inPorts) continue;
    // A group at the end of the text takes the blank lines that set it apart with it.
    std::size_t begin = i;
    if (end == m_lines.size()) {
      while (begin > 0 && ParseIniLine(m_lines[begin - 1].text).type == IniLineType::kBlank)
        --begin;
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
    const IniLine parts = ParseIniLine(line.text);
    if (parts.type == IniLineType::kHeader) {
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
    const IniLine parts = ParseIniLine(m_lines[i].text);
    if (parts.type == IniLineType::kEntry && parts.name == key) lines.push_back(i);
  }
  return lines;
}

std::string PortsSection::LineEnding() const {
  return IniLineEnding(m_lines.empty() ? std::string_view() : m_lines.front().text);
}

}  // namespace ampelon
