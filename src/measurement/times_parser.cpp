#include "measurement/times_parser.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace ampelon {
namespace {

constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();
// A time line is a few digits; anything longer is no time, and is not kept while it goes on.
constexpr std::size_t kLongestTimeLine = 64;
// Up to this many digits a number is a whole number below 2^53, held exactly by a double.
constexpr int kExactDigits = 15;
constexpr double kPowersOfTen[kExactDigits + 1] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

}  // namespace

double ParseSecondsLine(std::string_view line) {
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  // A time is digits with at most one point: no sign, exponent, "inf" or "nan".
  std::uint64_t digits = 0;
  int digitCount = 0;
  int fractionDigits = -1;  // -1 before the point
  for (const char c : line) {
    if (c == '.' && fractionDigits < 0) {
      fractionDigits = 0;
    } else if (c >= '0' && c <= '9') {
      if (++digitCount <= kExactDigits) digits = digits * 10 + static_cast<unsigned>(c - '0');
      if (fractionDigits >= 0) ++fractionDigits;
    } else {
      return kUnknown;
    }
  }
  if (digitCount == 0) return kUnknown;
  double value = 0;
  if (digitCount <= kExactDigits) {
    // Both numbers are exact doubles, so their quotient is the correctly rounded value, as
    // from_chars would give it, at a fraction of its cost.
    value = static_cast<double>(digits) / kPowersOfTen[std::max(fractionDigits, 0)];
  } else {
    const auto [end, error] =
        std::from_chars(line.data(), line.data() + line.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != line.data() + line.size()) return kUnknown;
  }
  return IsTime(value) ? value : kUnknown;
}

TimesParser::TimesParser(std::size_t maxLines) : m_maxLines(maxLines) {
  if (maxLines != kNoLimit) m_seconds.reserve(maxLines);
}

void TimesParser::Feed(std::string_view bytes) {
  while (!bytes.empty() && !m_ended) {
    const char first = bytes.front();
    if (first == '\r' || first == '\n') {
      if (first == '\r' || !m_afterCarriageReturn) EndLine();  // CR LF is one line ending
      m_afterCarriageReturn = first == '\r';
      bytes.remove_prefix(1);
      continue;
    }
    m_afterCarriageReturn = false;
    // The rest of the line in this piece, taken at once.
    const auto end = std::find_if(bytes.begin(), bytes.end(),
                                  [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    const auto length = static_cast<std::size_t>(end - bytes.begin());
    if ((end != bytes.end() && *end == '\0') || m_lineLength + length > kLongestLine) {
      m_ended = true;
      return;
    }
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
    if (m_lineLength + length <= kLongestTimeLine) m_line.append(bytes.data(), length);
    m_lineLength += length;
    bytes.remove_prefix(length);
  }
}

void TimesParser::Finish() {
  if (m_lineOpen && !m_ended) EndLine();
}

void TimesParser::EndLine() {
  if (m_lineTaken) {
    m_lineTaken = false;
    return;
  }
  if (m_seconds.size() < m_maxLines) {
    m_seconds.push_back(m_lineLength > kLongestTimeLine ? kUnknown : ParseSecondsLine(m_line));
  }
  m_line.clear();
  m_lineLength = 0;
  m_lineOpen = false;
}

}  // namespace ampelon
