#include "measurement/graph_log_writer.h"

#include <charconv>

namespace ampelon {

std::string FormatGraphLog(std::span<const std::int16_t> readings) {
  constexpr std::size_t kLongestLine = 8;  // "-32768" and CR LF
  std::string text(readings.size() * kLongestLine, '\0');
  char* out = text.data();
  for (const std::int16_t reading : readings) {
    out = std::to_chars(out, out + kLongestLine, reading).ptr;
    *out++ = '\r';
    *out++ = '\n';
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

}  // namespace ampelon
