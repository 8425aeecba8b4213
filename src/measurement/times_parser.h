#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ampelon {

// Reads the times beside a graph log: one line per reading, the reading's time in seconds since
// the charge clock started ("12.345"), an empty line for a reading whose time is unknown. Lines
// end as graph log lines do (CR LF, a lone CR or a lone LF). The times only help to read a
// charge, so nothing in them is an error: a line that holds no such time gives NaN. As in a graph
// log, a NUL byte or an endless line (binary data, a sparse file) ends the times: that line and
// everything after it give nothing. Fed in pieces of any size.
class TimesParser {
 public:
  static constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);
  // A line longer than this ends the times (a time takes a few bytes).
  static constexpr std::size_t kLongestLine = 4096;

  // Keeps the times of at most `maxLines` lines, with room made for them at once; later lines
  // are ignored.
  explicit TimesParser(std::size_t maxLines = kNoLimit);

  void Feed(std::string_view bytes);
  // The end of the file: takes a last line that has no line ending.
  void Finish();
  // A NUL or an endless line was met: nothing fed from now on counts.
  bool Ended() const { return m_ended; }

  const std::vector<double>& Seconds() const { return m_seconds; }
  std::vector<double> TakeSeconds() { return std::move(m_seconds); }

 private:
  void EndLine();

  std::size_t m_maxLines;
  std::vector<double> m_seconds;
  std::string m_line;            // the open line's first bytes, as many as a time can take
  std::size_t m_lineLength = 0;  // all of the open line's bytes
  bool m_lineOpen = false;
  bool m_afterCarriageReturn = false;
  bool m_lineTaken = false;  // the line before the next ending was read already
  bool m_ended = false;
};

// Times from 10^12 s on (some 31700 years) are no time: below it an export's three decimals
// read back as the same time.
inline constexpr double kTimesEndAt = 1e12;
// Whether `seconds` is a time: also its three decimals must lie below kTimesEndAt, so that
// 999999999999.9996 is none (it would be written, and read back, as 10^12).
constexpr bool IsTime(double seconds) { return seconds >= 0 && seconds < kTimesEndAt - 0.0005; }

// The time a line of a times file gives: a number of seconds that IsTime(), written with "." as the
// decimal point, spaces around it allowed; NaN for anything else.
double ParseSecondsLine(std::string_view line);

}  // namespace ampelon
