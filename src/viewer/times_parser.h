#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ampelon {

// Reads the times beside a graph log: one line per reading, the reading's time in seconds since
// the charge clock started ("12.345"), an empty line for a reading whose time is unknown. Lines
// end as graph log lines do (CR LF, a lone CR or a lone LF). The times only help to read a
// charge, so nothing in them is an error: a line that holds no such time gives NaN. Fed in
// pieces of any size.
class TimesParser {
 public:
  // Keeps the times of at most `maxLines` lines; later lines are ignored.
  explicit TimesParser(std::size_t maxLines = static_cast<std::size_t>(-1));

  void Feed(std::string_view bytes);
  // The end of the file: takes a last line that has no line ending.
  void Finish();

  const std::vector<double>& Seconds() const { return m_seconds; }
  std::vector<double> TakeSeconds() { return std::move(m_seconds); }

 private:
  void EndLine();

  std::size_t m_maxLines;
  std::vector<double> m_seconds;
  std::string m_line;
  bool m_lineOpen = false;
  bool m_lineTooLong = false;
  bool m_afterCarriageReturn = false;
  bool m_lineTaken = false;  // the line before the next ending was read already
};

// The time a line of a times file gives: a number of seconds, zero or more, written with "." as
// the decimal point, spaces around it allowed; NaN for anything else.
double ParseSecondsLine(std::string_view line);

}  // namespace ampelon
