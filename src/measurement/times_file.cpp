#include "measurement/times_file.h"

#include <array>
#include <charconv>
#include <system_error>

#include "measurement/byte_source.h"
#include "measurement/times_parser.h"

namespace ampelon {

std::string TimesFileFor(const std::string& logName) {
  const auto folderEnd = logName.find_last_of("/\\");
  const auto nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
  const auto dot = logName.rfind('.');
  // A name that only starts with a dot (".log") has no extension.
  const bool hasExtension = dot != std::string::npos && dot > nameStart;
  return (hasExtension ? logName.substr(0, dot) : logName) + ".times";
}

void AppendTimes(std::span<const double> times, std::string& text) {
  constexpr std::size_t kLongestLine = 24;
  const std::size_t start = text.size();
  text.resize(start + times.size() * kLongestLine);
  char* out = text.data() + start;
  for (const double time : times) {
    if (time >= 0.0) {
      const auto written =
          std::to_chars(out, out + kLongestLine - 2, time, std::chars_format::fixed, 3);
      if (written.ec == std::errc{}) out = written.ptr;
    }
    *out++ = '\r';
    *out++ = '\n';
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
}

std::string FormatTimes(std::span<const double> times) {
  std::string text;
  AppendTimes(times, text);
  return text;
}

Result<std::vector<double>> ReadTimes(ByteSource& file, std::size_t readings) {
  TimesParser parser(readings);
  std::array<char, 64 * 1024> buffer{};
  while (!parser.Ended() && parser.Seconds().size() < readings) {
    const Result<std::size_t> count = file.Read(buffer);
    if (!count) return Failure{count.error()};
    if (*count == 0) break;
    parser.Feed({buffer.data(), *count});
  }
  parser.Finish();
  return parser.TakeSeconds();
}

}  // namespace ampelon
