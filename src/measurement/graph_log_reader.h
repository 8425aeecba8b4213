#pragma once

#include <cstddef>

#include "common/result.h"

namespace ampelon {

class ByteSource;
class GraphLogParser;

// How far past a full store a load reads to count the lines it leaves out.
inline constexpr std::size_t kGraphLogCountingLimit = std::size_t{4} << 20;

struct GraphLogReadOutcome {
  bool readToEnd = false;  // the whole file was read
};

// Feeds a file to `parser` until the file ends, the file turns out not to be a graph log, or
// the store is full and `countingLimit` more bytes have been read to count the lines left out:
// a huge file is never read to its end. Fails with the reason when reading the file fails.
Result<GraphLogReadOutcome> ReadGraphLog(ByteSource& file, GraphLogParser& parser,
                                         std::size_t countingLimit = kGraphLogCountingLimit);

}  // namespace ampelon
