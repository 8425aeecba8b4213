#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/result.h"
#include "viewer/charge.h"

namespace ampelon {

// The reading intervals the user gave charges without times, by file name, kept in the viewer's
// settings file (its group "Reading Intervals", newest last). Only the last kFilesKept files
// given one are kept, so that the file never grows without limit. Every call reads the file
// afresh and every change replaces it whole, as the viewer's other settings do.
class ReadingIntervals {
 public:
  static constexpr std::size_t kFilesKept = 100;
  // Seconds per reading from a thousandth of a second to a day.
  static constexpr double kShortest = 0.001;
  static constexpr double kLongest = 86400;

  // `settingsFile` is the viewer's settings file, in UTF-8.
  explicit ReadingIntervals(std::string settingsFile);

  // The seconds per reading given for the file named `fileName`; nothing when none was (or the
  // value kept is no interval).
  std::optional<double> Of(const std::string& fileName) const;
  // Keeps `seconds` for `fileName` as the newest, or forgets it when nothing is given; the
  // oldest files beyond kFilesKept are forgotten. Fails with the reason when the settings file
  // cannot be written.
  Result<void> Remember(const std::string& fileName, std::optional<double> seconds);

 private:
  std::string m_settingsFile;
};

// Gives a charge without times of its own the times of readings `secondsPerReading` apart from
// 0, or with nothing takes such times away again.
void SpaceReadings(Charge& charge, std::optional<double> secondsPerReading);

}  // namespace ampelon
