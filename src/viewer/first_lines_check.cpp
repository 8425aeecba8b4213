#include "viewer/first_lines_check.h"

#include <algorithm>

#include "common/number_text.h"

namespace ampelon {
namespace {

// Enough of a line to show the user what it holds.
constexpr std::size_t kShownBytes = 40;

// The line's start as printable text: other bytes (control bytes, UTF-8) become '?'.
std::string Shown(std::string_view start, std::size_t length) {
  std::string shown(start.substr(0, kShownBytes));
  for (char& c : shown) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return length > shown.size() ? shown + "…" : shown;
}

}  // namespace

FirstLinesCheck::FirstLinesCheck() : m_lines(kShownBytes + 1) {}

bool FirstLinesCheck::Look(std::string_view start, std::size_t length) {
  if (start.find_first_not_of(" \t\xEF\xBB\xBF") == std::string_view::npos) return true;
  const std::size_t at = start.find_first_of(",.");
  if (at != std::string_view::npos) {
    m_reason = "line " + NumberText(m_lines.Lines()) + " holds " +
               (start[at] == ',' ? "a comma" : "a decimal point") + " (\"" + Shown(start, length) +
               "\"), where a graph log holds one whole number a line.";
  }
  m_done = m_reason || ++m_linesLooked == kLinesLooked;
  return !m_done;
}

void FirstLinesCheck::Feed(std::string_view bytes) {
  if (!m_done)
    m_lines.Feed(bytes, [this](std::string_view s, std::size_t n) { return Look(s, n); });
}

void FirstLinesCheck::Finish() {
  if (!m_done) m_lines.Finish([this](std::string_view s, std::size_t n) { return Look(s, n); });
  m_done = true;
}

}  // namespace ampelon
