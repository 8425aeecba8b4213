#include "measurement/graph_log_reader.h"

#include <array>

#include "measurement/byte_source.h"
#include "measurement/graph_log_parser.h"

namespace ampelon {

GraphLogReadOutcome ReadGraphLog(ByteSource& file, GraphLogParser& parser,
                                 std::size_t countingLimit) {
  std::array<char, 64 * 1024> buffer{};
  std::size_t readAfterFull = 0;
  while (true) {
    const auto count = file.Read(buffer);
    if (!count) return {false, file.Error()};
    if (*count == 0) {
      parser.Finish();
      return {true, {}};
    }
    if (parser.Full()) readAfterFull += *count;
    if (!parser.Feed({buffer.data(), *count}) && !parser.Full()) return {};
    if (readAfterFull >= countingLimit) return {};
  }
}

}  // namespace ampelon
