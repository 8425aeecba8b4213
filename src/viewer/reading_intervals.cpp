#include "viewer/reading_intervals.h"

#include <array>
#include <charconv>
#include <limits>
#include <utility>
#include <vector>

#include "common/utf8_path.h"
#include "files/replace_whole_file.h"
#include "measurement/times_parser.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"

namespace ampelon {
namespace {

constexpr std::string_view kGroup = "Reading Intervals";

}  // namespace

ReadingIntervals::ReadingIntervals(std::string settingsFile)
    : m_settingsFile(std::move(settingsFile)) {}

std::optional<double> ReadingIntervals::Of(const std::string& fileName) const {
  const Result<IniFileText> file = ReadIniFile(m_settingsFile);
  if (!file) return std::nullopt;
  const std::optional<std::string> value = IniDocument(file->text).Value(kGroup, fileName);
  if (!value) return std::nullopt;
  const double seconds = ParseSecondsLine(*value);
  if (!(seconds >= kShortest && seconds <= kLongest)) return std::nullopt;
  return seconds;
}

Result<void> ReadingIntervals::Remember(const std::string& fileName,
                                        std::optional<double> seconds) {
  const Result<IniFileText> file = ReadIniFile(m_settingsFile);
  if (!file) return Failure{file.error()};
  IniDocument document(file->text);
  // Taken out and put back at the end: the group's order is the order of use.
  document.RemoveValue(kGroup, fileName);
  if (seconds) {
    std::array<char, 64> text{};
    const auto written =
        std::to_chars(text.data(), text.data() + text.size(), *seconds, std::chars_format::fixed);
    document.SetValue(kGroup, fileName, std::string_view(text.data(), written.ptr));
  }
  const std::vector<std::string> names = document.Keys(kGroup);
  for (std::size_t i = 0; i + kFilesKept < names.size(); ++i)
    document.RemoveValue(kGroup, names[i]);
  if (const Result<void> replaced = ReplaceWholeFile(PathFromUtf8(m_settingsFile), document.Text());
      !replaced) {
    return Failure{"Could not write " + m_settingsFile + ": " + replaced.error()};
  }
  return {};
}

void SpaceReadings(Charge& charge, std::optional<double> secondsPerReading) {
  charge.seconds.clear();
  if (!secondsPerReading) {
    charge.seconds.shrink_to_fit();
    return;
  }
  charge.seconds.resize(charge.counts.size());
  for (std::size_t i = 0; i < charge.seconds.size(); ++i) {
    // Past the times a times file can hold, none, as for times read from a file.
    const double seconds = static_cast<double>(i) * *secondsPerReading;
    charge.seconds[i] = IsTime(seconds) ? seconds : std::numeric_limits<double>::quiet_NaN();
  }
}

}  // namespace ampelon
