#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ampelon {

// Reads the readings of a graph log from its bytes, fed in pieces of any size. A line ends at
// CR LF, a lone CR or a lone LF; a last line without an ending counts too. Each line gives the
// number at its start rounded to a whole number (ties to even): an empty line or one without a
// number gives 0, "12abc" 12, "2.5" 2. A line whose value lies outside -32768..32767 is skipped
// and counted. After `capacity` readings the parser only counts the lines that are left out.
class GraphLogParser {
 public:
  // Longer lines mean the file is no graph log (a graph log line is at most 8 bytes).
  static constexpr std::size_t kLongestLine = std::size_t{1} << 20;
  // No limit on the readings kept, for readers that hold a whole file of any length.
  static constexpr std::size_t kNoCapacityLimit = static_cast<std::size_t>(-1);

  enum class Failure {
    kNone,
    kNotText,      // NUL bytes or a UTF-16 byte order mark: binary data, not a text file
    kLineTooLong,  // a line passed kLongestLine
  };

  explicit GraphLogParser(std::size_t capacity);

  // Takes the next bytes of the file. Returns false once nothing more can be read into the
  // store (it is full, or the file turned out not to be a graph log); feeding on after
  // fullness only counts lines left out.
  bool Feed(std::string_view bytes);
  // The end of the file: takes a last line that has no line ending.
  void Finish();

  // Makes room for `readings` in all (never past the capacity), for a reader that can tell how
  // many the file holds: the readings then grow without being copied.
  void Reserve(std::size_t readings) { m_readings.reserve(std::min(readings, m_capacity)); }

  const std::vector<std::int16_t>& Readings() const { return m_readings; }
  // Hands the readings over without a copy; the parser then holds none.
  std::vector<std::int16_t> TakeReadings() { return std::move(m_readings); }
  bool Full() const { return m_readings.size() >= m_capacity; }
  Failure GetFailure() const { return m_failure; }
  // The line number (from 1) where the failure was found.
  std::int64_t FailureLine() const { return m_failureLine; }
  // Why the file is no graph log, for the user ("it holds binary data (…)"); empty without a
  // failure.
  std::string FailureReason() const;
  // Lines skipped because their value lies outside the 16-bit range, and the first of them.
  std::int64_t SkippedLines() const { return m_skippedLines; }
  std::int64_t FirstSkippedLine() const { return m_firstSkippedLine; }
  // Lines after the store was full, counted as far as the file was fed.
  std::int64_t LinesLeftOut() const { return m_linesLeftOut; }

 private:
  void TakeByte(char byte);
  void EndLine();
  void Fail(Failure failure);

  std::size_t m_capacity;
  std::vector<std::int16_t> m_readings;
  std::string m_line;
  bool m_lineOpen = false;  // bytes seen since the last line ending
  bool m_afterCarriageReturn = false;
  bool m_atStart = true;          // nothing fed yet: a byte order mark may follow
  std::string m_start;            // the first bytes, kept until a byte order mark can be told
  std::int64_t m_lineNumber = 0;  // lines ended so far
  Failure m_failure = Failure::kNone;
  std::int64_t m_failureLine = 0;
  std::int64_t m_skippedLines = 0;
  std::int64_t m_firstSkippedLine = 0;
  std::int64_t m_linesLeftOut = 0;
};

}  // namespace ampelon
