#include "viewer/line_splitter.h"

#include <algorithm>

namespace ampelon {

LineSplitter::LineSplitter(std::size_t keep) : m_keep(keep) {}

bool LineSplitter::EndLine(std::string_view start, std::size_t length, const OnLine& onLine) {
  ++m_lines;
  m_stopped = !onLine(start, length);
  m_line.clear();
  m_length = 0;
  m_open = false;
  return !m_stopped;
}

bool LineSplitter::Feed(std::string_view bytes, const OnLine& onLine) {
  while (!bytes.empty() && !m_stopped) {
    if (m_afterCarriageReturn && bytes.front() == '\n') {
      bytes.remove_prefix(1);  // CR LF is one line ending
      m_afterCarriageReturn = false;
      continue;
    }
    m_afterCarriageReturn = false;
    const auto end =
        std::find_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; });
    const auto length = static_cast<std::size_t>(end - bytes.begin());
    if (end == bytes.end() || m_open) {
      m_line.append(bytes.substr(0, std::min(length, m_keep - std::min(m_keep, m_line.size()))));
      m_length += length;
      m_open = true;
      if (end == bytes.end()) return true;
      EndLine(m_line, m_length, onLine);
    } else {
      // A whole line in this piece: handed on where it lies, without a copy.
      EndLine(bytes.substr(0, std::min(length, m_keep)), length, onLine);
    }
    m_afterCarriageReturn = *end == '\r';
    bytes.remove_prefix(length + 1);
  }
  return !m_stopped;
}

bool LineSplitter::Finish(const OnLine& onLine) {
  if (m_open && !m_stopped) EndLine(m_line, m_length, onLine);
  return !m_stopped;
}

}  // namespace ampelon
