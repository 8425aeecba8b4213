// The graph log parser on arbitrary bytes fed in chosen pieces, and the save -> load round trip.
// Control bytes: the store's capacity (0: room for every line, otherwise 1..255 so that short
// files fill it), then the piece lengths. The rest is the file; read two bytes at a time it is
// also a sequence of readings to save and load back.
// Checked: one piece and any split give the same result, the readings never pass the capacity,
// every line of the file is accounted for once (a reading, skipped or left out) and nothing
// after a failure is, and saved readings load back identically.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "measurement/graph_log_parser.h"
#include "measurement/graph_log_writer.h"

namespace ampelon::fuzz {
namespace {

using Readings = std::vector<std::int16_t>;

struct Outcome {
  Readings readings;
  GraphLogParser::Failure failure = GraphLogParser::Failure::kNone;
  std::int64_t failureLine = 0;
  std::int64_t skippedLines = 0;
  std::int64_t firstSkippedLine = 0;
  std::int64_t linesLeftOut = 0;
};

bool operator==(const Outcome& a, const Outcome& b) {
  return a.readings == b.readings && a.failure == b.failure && a.failureLine == b.failureLine &&
         a.skippedLines == b.skippedLines && a.firstSkippedLine == b.firstSkippedLine &&
         a.linesLeftOut == b.linesLeftOut;
}

// Feeds every piece, also after Feed() said stop: later bytes must change nothing then.
Outcome Parse(const std::vector<std::string_view>& pieces, std::size_t capacity) {
  GraphLogParser parser(capacity);
  for (const std::string_view piece : pieces) parser.Feed(piece);
  parser.Finish();
  return {parser.Readings(),     parser.GetFailure(),       parser.FailureLine(),
          parser.SkippedLines(), parser.FirstSkippedLine(), parser.LinesLeftOut()};
}

// Lines of a text file whose lines end at CR LF, a lone CR or a lone LF, with an unended last
// line counted too, after a UTF-8 byte order mark.
std::int64_t CountLines(std::string_view file) {
  if (file.starts_with("\xEF\xBB\xBF")) file.remove_prefix(3);
  std::string text(file);
  for (auto crlf = text.find("\r\n"); crlf != std::string::npos; crlf = text.find("\r\n", crlf)) {
    text.erase(crlf, 1);
  }
  std::int64_t lines = 0;
  for (const char byte : text) {
    if (byte == '\r' || byte == '\n') ++lines;
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') ++lines;
  return lines;
}

void CheckParse(std::string_view file, const std::vector<std::size_t>& lengths,
                std::size_t capacity) {
  const Outcome whole = Parse({file}, capacity);
  FUZZ_CHECK(Parse(SplitIntoPieces(file, lengths), capacity) == whole);
  FUZZ_CHECK(whole.readings.size() <= capacity);
  const std::int64_t linesTaken =
      static_cast<std::int64_t>(whole.readings.size()) + whole.skippedLines + whole.linesLeftOut;
  if (whole.failure == GraphLogParser::Failure::kNone) {
    FUZZ_CHECK(linesTaken == CountLines(file));
  } else {
    FUZZ_CHECK(linesTaken == whole.failureLine - 1);
  }
}

void CheckRoundTrip(std::string_view bytes, const std::vector<std::size_t>& lengths) {
  Readings readings(bytes.size() / sizeof(std::int16_t));
  if (!readings.empty())
    std::memcpy(readings.data(), bytes.data(), readings.size() * sizeof(std::int16_t));
  const std::string file = FormatGraphLog(readings);
  const Outcome loaded = Parse(SplitIntoPieces(file, lengths), readings.size());
  FUZZ_CHECK(loaded == Outcome{readings});
}

}  // namespace
}  // namespace ampelon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ampelon;
  using namespace ampelon::fuzz;
  FuzzInput input(data, size);
  const std::uint8_t capacityByte = input.TakeByte();
  const std::vector<std::size_t> lengths = input.TakePieceLengths(64);
  const std::string_view file = input.Rest();
  // Room for every line (each takes at least one byte) stands for the program's 100000 places,
  // which would cost a fresh allocation of 200 kB for each input.
  const std::size_t capacity = capacityByte == 0 ? file.size() + 1 : capacityByte;
  CheckParse(file, lengths, capacity);
  CheckRoundTrip(file, lengths);
  return 0;
}
