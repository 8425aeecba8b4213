#include "measurement/rejected_lines.h"

#include <cstdio>

#include "measurement/serial_line_decoder.h"

namespace ampelon {
namespace {

std::string_view TrimSpaces(std::string_view line) {
  const auto first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

// The line as a person can read it in a hover text: control and other non-text bytes escaped,
// cut to `limit` characters.
std::string Escaped(std::string_view line, std::size_t limit) {
  std::string text;
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    std::string_view piece(&c, 1);
    char hex[5];
    if (byte == '\r') {
      piece = "\\r";
    } else if (byte == '\t') {
      piece = "\\t";
    } else if (byte == '\\') {
      piece = "\\\\";
    } else if (!RejectedLines::IsText(byte)) {
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(byte));
      piece = hex;
    }
    if (text.size() + piece.size() > limit) break;
    text += piece;
  }
  return text;
}

}  // namespace

void RejectedLines::AddLine(std::string_view line) {
  ++m_lines;
  if (!line.empty() && line.back() == '\r' &&
      ParseReading(TrimSpaces(line.substr(0, line.size() - 1)))) {
    ++m_crLfReadings;
    return;
  }
  const std::string_view trimmed = TrimSpaces(line);
  // Only the first bytes are looked at, so a long line costs no more than a short one.
  if (m_example.empty() && !trimmed.empty()) {
    m_example = Escaped(trimmed.substr(0, kMaxExample), kMaxExample);
  }
}

void RejectedLines::Clear() {
  m_bytes = 0;
  m_nonTextBytes = 0;
  m_lines = 0;
  m_crLfReadings = 0;
  m_overlong = false;
  m_example.clear();
}

LineDiagnosis RejectedLines::Diagnose() const {
  if (Empty()) return {};
  if (m_nonTextBytes * 2 > m_bytes) return {LineProblem::kNotText, {}};
  if (m_crLfReadings > 0 && m_crLfReadings * 2 >= m_lines) return {LineProblem::kCrLf, {}};
  if (m_overlong) return {LineProblem::kNoLineFeed, {}};
  return {LineProblem::kNotWholeNumbers, m_example};
}

}  // namespace ampelon
