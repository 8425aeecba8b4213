#include "viewer/times_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace ampelon {
namespace {

constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();
// A time line is a few digits; anything longer is no time, and is not kept while it goes on.
constexpr std::size_t kLongestTimeLine = 64;

}  // namespace

double ParseSecondsLine(std::string_view line) {
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  // from_chars would also take "inf", "nan" and exponents; a time is digits and a point only.
  if (line.empty() || !std::all_of(line.begin(), line.end(),
                                   [](char c) { return (c >= '0' && c <= '9') || c == '.'; })) {
    return kUnknown;
  }
  double value = 0;
  const auto [end, error] =
      std::from_chars(line.data(), line.data() + line.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != line.data() + line.size() || !std::isfinite(value)) {
    return kUnknown;
  }
  return value;
}

TimesParser::TimesParser(std::size_t maxLines) : m_maxLines(maxLines) {}

void TimesParser::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const char first = bytes.front();
    if (first == '\r' || first == '\n') {
      if (first == '\r' || !m_afterCarriageReturn) EndLine();  // CR LF is one line ending
      m_afterCarriageReturn = first == '\r';
      bytes.remove_prefix(1);
      continue;
    }
    m_afterCarriageReturn = false;
    // The rest of the line in this piece, taken at once.
    const auto end =
        std::find_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; });
    const auto length = static_cast<std::size_t>(end - bytes.begin());
    if (!m_lineOpen && end != bytes.end()) {
      // A whole line in this piece: read where it lies, without a copy.
      if (m_seconds.size() < m_maxLines) {
        m_seconds.push_back(length > kLongestTimeLine ? kUnknown
                                                      : ParseSecondsLine(bytes.substr(0, length)));
      }
      bytes.remove_prefix(length);
      m_lineTaken = true;  // its ending, next, adds nothing
      continue;
    }
    m_lineOpen = true;
    if (m_line.size() + length > kLongestTimeLine) {
      m_lineTooLong = true;
    } else {
      m_line.append(bytes.data(), length);
    }
    bytes.remove_prefix(length);
  }
}

void TimesParser::Finish() {
  if (m_lineOpen) EndLine();
}

void TimesParser::EndLine() {
  if (m_lineTaken) {
    m_lineTaken = false;
    return;
  }
  if (m_seconds.size() < m_maxLines) {
    m_seconds.push_back(m_lineTooLong ? kUnknown : ParseSecondsLine(m_line));
  }
  m_line.clear();
  m_lineOpen = false;
  m_lineTooLong = false;
}

}  // namespace ampelon
