#include "measurement/graph_log_reader.h"

#include <array>

#include "measurement/byte_source.h"
#include "measurement/graph_log_parser.h"

namespace ampelon {

Result<GraphLogReadOutcome> ReadGraphLog(ByteSource& file, GraphLogParser& parser,
                                         std::size_t countingLimit) {
  std::array<char, 64 * 1024> buffer{};
  std::size_t readAfterFull = 0;
  while (true) {
    const Result<std::size_t> count = file.Read(buffer);
    if (!count) return Failure{count.error()};
    if (*count == 0) {
      parser.Finish();
      return GraphLogReadOutcome{.readToEnd = true};
    }
    if (parser.Full()) readAfterFull += *count;
    if (!parser.Feed({buffer.data(), *count}) && !parser.Full()) return GraphLogReadOutcome{};
    if (readAfterFull >= countingLimit) return GraphLogReadOutcome{};
  }
}

}  // namespace ampelon
