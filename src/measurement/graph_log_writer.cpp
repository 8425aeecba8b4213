#include "measurement/graph_log_writer.h"

#include <charconv>

namespace ampelon {

std::string FormatGraphLog(std::span<const std::int16_t> readings) {
  std::string text;
  AppendGraphLog(readings, text);
  return text;
}

void AppendGraphLog(std::span<const std::int16_t> readings, std::string& text) {
  constexpr std::size_t kLongestLine = 8;  // "-32768" and CR LF
  const std::size_t start = text.size();
  text.resize(start + readings.size() * kLongestLine);
  char* out = text.data() + start;
  for (const std::int16_t reading : readings) {
    out = std::to_chars(out, out + kLongestLine, reading).ptr;
    *out++ = '\r';
    *out++ = '\n';
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
}

}  // namespace ampelon
