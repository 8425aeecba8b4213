#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "common/result.h"

namespace ampelon {

class ByteSource;

// The times file beside a graph log, shared by Ampelon (Save Graph, Load Graph, the journal) and
// the viewer: line n holds reading n's time in seconds with three decimals and CR LF ("125.100"),
// an empty line where the time is not known. TimesParser reads it.

// The times file that belongs to the graph log `logName`: the same name with ".times" in place of
// its extension ("charge.log" gives "charge.times"), or added where it has none. A log whose own
// name ends in ".times" gets its own name back: it has no times file.
std::string TimesFileFor(const std::string& logName);

// The times file's text of `times`, added to the end of `text`, whose capacity is reused. A time
// below zero or NaN (a loaded reading's) gives an empty line.
void AppendTimes(std::span<const double> times, std::string& text);
std::string FormatTimes(std::span<const double> times);

// The times of at most `readings` lines of `file`, NaN where a line holds none, read as
// TimesParser reads them: a NUL or an endless line ends them, and nothing is read past the last
// reading's line. Fails with the reason when reading fails.
Result<std::vector<double>> ReadTimes(ByteSource& file, std::size_t readings);

}  // namespace ampelon
