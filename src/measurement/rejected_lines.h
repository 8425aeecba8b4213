#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ampelon {

// Why the lines received since the last reading were no readings, worst cause first.
enum class LineProblem {
  kNone,            // nothing rejected
  kNotText,         // most bytes are no text: the line settings do not match the charger's
  kCrLf,            // readings ended with CR LF
  kNoLineFeed,      // a line passed the length limit without its line feed
  kNotWholeNumbers  // text lines, but not whole numbers (see the example)
};

struct LineDiagnosis {
  LineProblem problem = LineProblem::kNone;
  // For kNotWholeNumbers: the first such line, spaces around it removed, control bytes written
  // as \r, \t or \xNN, at most kMaxExample characters.
  std::string example;
};

// What the serial lines rejected since the last reading had in common. The decoder feeds it while
// it splits the received bytes, so telling the user why no reading arrives costs no second pass:
// per line only its first bytes are kept, as the example.
class RejectedLines {
 public:
  static constexpr std::size_t kMaxExample = 40;

  // Bytes in text: printable ASCII, space, CR and LF.
  static bool IsText(unsigned char byte) {
    return (byte >= 0x20 && byte < 0x7f) || byte == '\r' || byte == '\n';
  }

  // Bytes received, `nonText` of them no text (see IsText), whether or not they ended a line.
  void AddBytes(std::size_t bytes, std::size_t nonText) {
    m_bytes += bytes;
    m_nonTextBytes += nonText;
  }
  // A complete line that was no reading, as received without its line feed.
  void AddLine(std::string_view line);
  // A partial line dropped for passing the length limit.
  void AddOverlongLine() { m_overlong = true; }
  // A reading was accepted, or the port went away: what came before says nothing any more.
  void Clear();

  std::size_t Lines() const { return m_lines; }
  bool Overlong() const { return m_overlong; }
  // Nothing rejected since the last Clear().
  bool Empty() const { return m_lines == 0 && !m_overlong; }
  LineDiagnosis Diagnose() const;

 private:
  std::size_t m_bytes = 0;
  std::size_t m_nonTextBytes = 0;
  // Wide enough for a charger that sends nothing but rejected lines for years.
  std::size_t m_lines = 0;
  std::size_t m_crLfReadings = 0;
  bool m_overlong = false;
  std::string m_example;  // the first rejected line that is not an empty one or a CR LF reading
};

}  // namespace ampelon
