#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "viewer/line_splitter.h"

namespace ampelon {

// Tells a file that is no graph log by its first lines. A graph log holds one whole number a
// line; Load Graph's rules would read a CSV or a log of volts all the same (a comma ends the
// number, "1.482" reads as 1), so a comma or a decimal point in one of the first kLinesLooked
// lines that hold anything marks another kind of file. Fed the same pieces as the graph log's
// parser.
class FirstLinesCheck {
 public:
  static constexpr int kLinesLooked = 5;

  FirstLinesCheck();
  void Feed(std::string_view bytes);
  void Finish();
  // Every line it looks at was looked at: what follows needs no feeding.
  bool Done() const { return m_done; }
  // Why the file is no graph log, naming the line and what it starts with; nothing while none
  // of the lines looked at holds a comma or a decimal point.
  std::optional<std::string> Reason() const { return m_reason; }

 private:
  bool Look(std::string_view start, std::size_t length);

  LineSplitter m_lines;
  int m_linesLooked = 0;
  bool m_done = false;
  std::optional<std::string> m_reason;
};

}  // namespace ampelon
