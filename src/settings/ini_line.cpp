#include "settings/ini_line.h"

namespace ampelon {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

}  // namespace

bool IsIniBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimmedIniText(std::string_view text) {
  while (!text.empty() && IsIniBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsIniBlank(text.back())) text.remove_suffix(1);
  return text;
}

int IniHexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

IniLine ParseIniLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line = TrimmedIniText(line);
  IniLine parts;
  if (line.empty()) {
    parts.type = IniLineType::kBlank;
  } else if (line.front() == '[') {
    const std::size_t close = line.find(']');
    parts.type = IniLineType::kHeader;
    parts.name =
        UnescapedIniName(line.substr(1, close == std::string_view::npos ? close : close - 1));
  } else if (const std::size_t equals = line.find('=');
             line.front() != ';' && equals != std::string_view::npos) {
    parts.type = IniLineType::kEntry;
    parts.name = UnescapedIniName(TrimmedIniText(line.substr(0, equals)));
    parts.rawValue = line.substr(equals + 1);
  }
  return parts;
}

std::string EscapedIniName(std::string_view name) {
  std::string out;
  for (const char c : name) {
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

std::string UnescapedIniName(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '%' && i + 2 < name.size() && IniHexDigitValue(name[i + 1]) >= 0 &&
        IniHexDigitValue(name[i + 2]) >= 0) {
      out += static_cast<char>(IniHexDigitValue(name[i + 1]) * 16 + IniHexDigitValue(name[i + 2]));
      i += 2;
    } else {
      out += name[i] == '\\' ? '/' : name[i];
    }
  }
  return out;
}

std::vector<std::string> SplitIniLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string IniLineEnding(std::string_view firstLine) {
  return !firstLine.empty() && firstLine.back() == '\r' ? "\r" : "";
}

}  // namespace ampelon
