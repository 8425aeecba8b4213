#include "measurement/graph_log_parser.h"

#include <algorithm>

#include "common/leading_number.h"
#include "common/number_text.h"
#include "common/rounding.h"

namespace ampelon {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
// Room made at the start: a store's whole capacity, but never more than a full store's worth for
// a parser without a limit, whose file may be short.
constexpr std::size_t kReservedAtMost = 100000;

}  // namespace

GraphLogParser::GraphLogParser(std::size_t capacity) : m_capacity(capacity) {
  m_readings.reserve(std::min(capacity, kReservedAtMost));
}

bool GraphLogParser::Feed(std::string_view bytes) {
  if (m_failure != Failure::kNone) return false;
  if (m_atStart) {
    // Hold back the first three bytes until they tell whether a byte order mark begins the file.
    while (m_start.size() < kUtf8Mark.size() && !bytes.empty()) {
      m_start += bytes.front();
      bytes.remove_prefix(1);
    }
    if (m_start.size() < kUtf8Mark.size()) return true;
    m_atStart = false;
    const std::string start = std::move(m_start);
    if (start.starts_with(kUtf16LittleMark) || start.starts_with(kUtf16BigMark)) {
      Fail(Failure::kNotText);
      return false;
    }
    if (start != kUtf8Mark) {
      for (const char byte : start) TakeByte(byte);
    }
  }
  for (const char byte : bytes) {
    if (m_failure != Failure::kNone) return false;
    TakeByte(byte);
  }
  return m_failure == Failure::kNone && !Full();
}

void GraphLogParser::Finish() {
  if (m_atStart) {
    m_atStart = false;
    const std::string start = std::move(m_start);
    if (start.starts_with(kUtf16LittleMark) || start.starts_with(kUtf16BigMark)) {
      Fail(Failure::kNotText);
      return;
    }
    for (const char byte : start) TakeByte(byte);
  }
  if (m_failure == Failure::kNone && m_lineOpen) EndLine();
}

void GraphLogParser::TakeByte(char byte) {
  // A failure is final: the bytes held back at the start still pass through here after it.
  if (m_failure != Failure::kNone) return;
  if (byte == '\r') {
    EndLine();
    m_afterCarriageReturn = true;
    return;
  }
  if (byte == '\n') {
    if (!m_afterCarriageReturn) EndLine();  // CR LF is one line ending
    m_afterCarriageReturn = false;
    return;
  }
  m_afterCarriageReturn = false;
  m_lineOpen = true;
  if (Full()) return;  // only counting lines now
  if (byte == '\0') {
    Fail(Failure::kNotText);
    return;
  }
  if (m_line.size() >= kLongestLine) {
    Fail(Failure::kLineTooLong);
    return;
  }
  m_line += byte;
}

void GraphLogParser::EndLine() {
  ++m_lineNumber;
  m_lineOpen = false;
  if (Full()) {
    ++m_linesLeftOut;
    return;
  }
  const auto value = RoundToInt16(LeadingNumber(m_line));
  m_line.clear();
  if (value) {
    m_readings.push_back(*value);
  } else if (m_skippedLines++ == 0) {
    m_firstSkippedLine = m_lineNumber;
  }
}

std::string GraphLogParser::FailureReason() const {
  switch (m_failure) {
    case Failure::kNone:
      return {};
    case Failure::kNotText:
      return "it holds binary data (NUL bytes or UTF-16 text).";
    case Failure::kLineTooLong:
      return "line " + NumberText(m_failureLine) + " is longer than 1 MiB.";
  }
  return {};
}

void GraphLogParser::Fail(Failure failure) {
  m_failure = failure;
  m_failureLine = m_lineNumber + 1;
}

}  // namespace ampelon
