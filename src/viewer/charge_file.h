#pragma once

#include <string>
#include <vector>

#include "common/result.h"
#include "viewer/charge.h"

namespace ampelon {

class ByteSource;

// A graph log read whole, with no limit on its length.
struct ChargeFile {
  Charge charge;
  // What the user should know about the reading (lines skipped, the file cut short by a line
  // that is no graph log); empty when the file read cleanly.
  std::string notes;
};

// Reads the graph log `log` (named `name` in the texts) by Load Graph's rules. The first line
// that makes it no graph log ends the readings there; when that is the first line, or the file
// cannot be read, it fails with Load Graph's reason.
Result<ChargeFile> ReadChargeFile(ByteSource& log, const std::string& name);

// Gives `charge` the times that `times` holds for its readings: a shorter file leaves the last
// readings without times, a longer one's extra lines are ignored. No line with a time leaves the
// charge without times. Fails only when the file cannot be read, leaving `charge` as it was.
Result<void> ReadChargeTimes(ByteSource& times, Charge& charge);

// Gives `charge` the times in `seconds` (one per reading from the first, NaN where unknown) as
// ReadChargeTimes() does.
void AttachTimes(std::vector<double> seconds, Charge& charge);

// The times file that belongs to the graph log `logName`: the same name with ".times" in place of
// its extension ("charge.log" gives "charge.times"), or added where it has none.
std::string TimesFileFor(const std::string& logName);

}  // namespace ampelon
