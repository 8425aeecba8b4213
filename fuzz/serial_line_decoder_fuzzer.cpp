// The serial line decoder on arbitrary bytes split into serial events at chosen points.
// Control bytes: the longest line (0: the program's own limit, otherwise 1..255 bytes, so that
// short inputs reach the limit), the store's room (high bit set: the store starts with only the
// low bits' count of free places), then the event lengths. The rest is the received stream.
// Checked: the store never grows past its capacity, one event and any split give the same
// result (also in what the rejected lines are said to have in common), and the stored readings
// are exactly the lines that pass the line rule below.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "fakes/fake_clock.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "measurement/sample_store.h"
#include "measurement/serial_line_decoder.h"

namespace ampelon::fuzz {
namespace {

using Readings = std::vector<std::int16_t>;

struct Outcome {
  Readings stored;  // the readings after the prefilled ones
  int droppedFull = 0;
  std::string rxBuffer;
  LineDiagnosis diagnosis{};  // not part of the line rule: compared between splits only
};

bool operator==(const Outcome& a, const Outcome& b) {
  return a.stored == b.stored && a.droppedFull == b.droppedFull && a.rxBuffer == b.rxBuffer;
}

// The line rule, written apart from the decoder: a line no longer than the limit that, with the
// spaces around it removed, is exactly the canonical decimal text of an integer in
// -32768..32767 (what std::to_chars writes for it).
std::optional<std::int16_t> ReadingOfLine(std::string_view line, std::size_t maxLineLength) {
  if (line.size() > maxLineLength) return std::nullopt;
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc() || value < -32768 || value > 32767) return std::nullopt;
  char canonical[8];
  const auto written = std::to_chars(canonical, canonical + sizeof canonical, value);
  if (std::string_view(canonical, written.ptr) != line) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

Outcome Expected(std::string_view stream, std::size_t maxLineLength, int freePlaces) {
  Outcome outcome;
  std::size_t start = 0;
  for (auto lineFeed = stream.find('\n'); lineFeed != std::string_view::npos;
       lineFeed = stream.find('\n', start)) {
    if (const auto value = ReadingOfLine(stream.substr(start, lineFeed - start), maxLineLength)) {
      if (static_cast<int>(outcome.stored.size()) < freePlaces) {
        outcome.stored.push_back(*value);
      } else {
        ++outcome.droppedFull;
      }
    }
    start = lineFeed + 1;
  }
  const std::string_view tail = stream.substr(start);
  if (tail.size() <= maxLineLength) outcome.rxBuffer = tail;
  return outcome;
}

// Kept from input to input: making or clearing a store writes all its places, which costs far
// more than decoding a short input.
struct StorePair {
  testing::FakeClock clock{36000.0f};
  SampleStore whole{clock};
  SampleStore split{clock};
};

int FreePlaces(const SampleStore& store) {
  return SampleStore::kSampleCapacity - store.SampleCount();
}

// Leaves `room` free places in the store, or at least that many when `exact` is false; clears
// it only when it has fewer.
void MakeRoom(SampleStore& store, int room, bool exact) {
  if (FreePlaces(store) < room) store.ClearSamples();
  while (exact && FreePlaces(store) > room) store.AppendSample(1);
}

Outcome Decode(SampleStore& store, const std::vector<std::string_view>& events,
               std::size_t maxLineLength) {
  const int before = store.SampleCount();
  SerialLineDecoder decoder(store, maxLineLength);
  Outcome outcome;
  int stored = 0;
  for (const std::string_view event : events) {
    const DecodeSummary summary = decoder.OnSerialEvent(event);
    stored += summary.stored;
    outcome.droppedFull += summary.droppedFull;
    FUZZ_CHECK(store.SampleCount() <= SampleStore::kSampleCapacity);
  }
  const std::span<const std::int16_t> samples = store.Samples();
  FUZZ_CHECK(samples.size() == static_cast<std::size_t>(store.SampleCount()));
  FUZZ_CHECK(store.SampleCount() == before + stored);
  outcome.stored.assign(samples.begin() + before, samples.end());
  outcome.rxBuffer = decoder.RxBuffer();
  outcome.diagnosis = decoder.Rejections().Diagnose();
  FUZZ_CHECK(outcome.diagnosis.example.size() <= RejectedLines::kMaxExample);
  return outcome;
}

}  // namespace
}  // namespace ampelon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ampelon;
  using namespace ampelon::fuzz;
  FuzzInput input(data, size);
  const std::uint8_t limitByte = input.TakeByte();
  const std::size_t maxLineLength = limitByte == 0 ? SerialLineDecoder::kMaxPartialLine : limitByte;
  const std::uint8_t roomByte = input.TakeByte();
  const std::vector<std::size_t> lengths = input.TakePieceLengths(64);
  const std::string_view stream = input.Rest();

  // A nearly full store has exactly the free places asked for; otherwise a store has room for
  // every line (each takes at least its line feed), whatever readings it still holds.
  static StorePair roomy;
  static StorePair nearlyFull;
  const bool nearFull = (roomByte & 0x80) != 0;
  StorePair& stores = nearFull ? nearlyFull : roomy;
  const int room = nearFull ? roomByte & 0x7F : static_cast<int>(stream.size());
  MakeRoom(stores.whole, room, nearFull);
  MakeRoom(stores.split, room, nearFull);
  const int freePlaces = FreePlaces(stores.whole);

  const Outcome whole = Decode(stores.whole, {stream}, maxLineLength);
  const Outcome split = Decode(stores.split, SplitIntoPieces(stream, lengths), maxLineLength);
  FUZZ_CHECK(whole == split);
  // Why the lines were no readings does not depend on how the bytes were split either.
  FUZZ_CHECK(whole.diagnosis.problem == split.diagnosis.problem);
  FUZZ_CHECK(whole.diagnosis.example == split.diagnosis.example);
  FUZZ_CHECK(whole == Expected(stream, maxLineLength, freePlaces));
  return 0;
}
