#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>

#include "common/result.h"
#include "measurement/graph_log_reader.h"

namespace ampelon {

class ByteSource;
class GraphLogParser;

// A graph log file opened for reading as RegularFile opens it: regular files only, never
// waiting. Fails with the reason, for the user.
Result<std::unique_ptr<ByteSource>> OpenGraphLogFile(const std::filesystem::path& path);

// Reads the graph log at `path` into `parser` as File > Load Graph reads it (ReadGraphLog).
Result<GraphLogReadOutcome> ReadGraphLogFile(const std::filesystem::path& path,
                                             GraphLogParser& parser,
                                             std::size_t countingLimit = kGraphLogCountingLimit);

}  // namespace ampelon
