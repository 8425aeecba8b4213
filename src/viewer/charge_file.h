#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/result.h"
#include "measurement/times_file.h"
#include "viewer/charge.h"

namespace ampelon {

class ByteSource;

// A graph log read whole, with no limit on its length.
struct ChargeFile {
  Charge charge;
  // What the user should know about the reading (lines skipped, the file cut short by a line
  // that is no graph log); empty when the file read cleanly.
  std::string notes;
  // It was the viewer's own CSV export, which holds the readings' times: no times file belongs
  // to it.
  bool timesWithin = false;
};

// How a long read is followed, and stopped, from another thread.
struct ReadControl {
  // The bytes the file holds where known (0 where not): room for its readings is made from
  // it, so that they are neither copied as they grow nor left with much room to spare.
  std::uint64_t fileBytes = 0;
  // Told the bytes read so far, after each piece.
  std::function<void(std::uint64_t bytesRead)> onProgress;
  // Once it holds true, the read stops at its next piece and fails with kReadCancelled.
  const std::atomic<bool>* cancel = nullptr;
};
inline constexpr const char* kReadCancelled = "The reading was cancelled.";

// Reads the graph log `log` (named `name` in the texts) by Load Graph's rules. The first line
// that makes it no graph log ends the readings there; when that is the first line, or the file
// cannot be read, it fails with Load Graph's reason. A file whose first lines hold a comma or a
// decimal point is another kind of file, refused with the line (FirstLinesCheck); but the
// viewer's own CSV export, known by its header row, is read as what it is (CsvChargeParser),
// with its times.
Result<ChargeFile> ReadChargeFile(ByteSource& log, const std::string& name,
                                  const ReadControl& control = {});

// Gives `charge` the times that `times` holds for its readings: a shorter file leaves the last
// readings without times, a longer one is read only a piece past the last reading's line. No
// line with a time leaves the charge without times. Fails only when the file cannot be read (or
// the read is cancelled), leaving `charge` as it was.
Result<void> ReadChargeTimes(ByteSource& times, Charge& charge, const ReadControl& control = {});

// Reads the graph log at `path` whole, and the times file beside it when there is one; only
// regular files are read, and none is waited on. A times file that cannot be read leaves the
// charge without times and says so in the notes. `onProgress` is told the share of both files
// read (0 to 1) after each piece; `cancel` stops it as ReadControl's does.
Result<ChargeFile> LoadChargeFile(const std::filesystem::path& path,
                                  const std::function<void(double share)>& onProgress = {},
                                  const std::atomic<bool>* cancel = nullptr);

// Gives `charge` the times in `seconds` (one per reading from the first, NaN where unknown) as
// ReadChargeTimes() does.
void AttachTimes(std::vector<double> seconds, Charge& charge);

}  // namespace ampelon
