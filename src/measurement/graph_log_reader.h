#pragma once

#include <cstddef>
#include <string>

namespace ampelon {

class ByteSource;
class GraphLogParser;

struct GraphLogReadOutcome {
  bool readToEnd = false;  // the whole file was read
  std::string error;       // a read error's reason; empty otherwise
};

// Feeds a file to `parser` until the file ends, the file turns out not to be a graph log, or
// the store is full and `countingLimit` more bytes have been read to count the lines left out:
// a huge file is never read to its end.
GraphLogReadOutcome ReadGraphLog(ByteSource& file, GraphLogParser& parser,
                                 std::size_t countingLimit = std::size_t{4} << 20);

}  // namespace ampelon
