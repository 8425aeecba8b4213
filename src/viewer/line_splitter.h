#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ampelon {

// Splits text fed in pieces of any size into lines, as graph logs end them: at CR LF, a lone CR
// or a lone LF; a last line without an ending is ended by Finish(). Each line is handed on with
// its first `keep` bytes (where a longer line is cut) and its whole length, so that an endless
// line is never held.
class LineSplitter {
 public:
  // Told each line's first bytes and its whole length; false stops the splitting.
  using OnLine = std::function<bool(std::string_view start, std::size_t length)>;

  explicit LineSplitter(std::size_t keep);

  // False once `onLine` asked to stop; nothing is split after that.
  bool Feed(std::string_view bytes, const OnLine& onLine);
  bool Finish(const OnLine& onLine);
  // The lines ended so far: the number of the last one handed on.
  std::int64_t Lines() const { return m_lines; }

 private:
  bool EndLine(std::string_view start, std::size_t length, const OnLine& onLine);

  std::size_t m_keep;
  std::string m_line;  // the open line's first bytes
  std::size_t m_length = 0;
  bool m_open = false;
  bool m_afterCarriageReturn = false;
  bool m_stopped = false;
  std::int64_t m_lines = 0;
};

}  // namespace ampelon
