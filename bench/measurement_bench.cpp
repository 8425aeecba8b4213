// Decoding and store throughput.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "fakes/fake_clock.h"
#include "measurement/sample_store.h"
#include "measurement/serial_line_decoder.h"

namespace ampelon {
namespace {

constexpr std::size_t kEventBytes = 64 * 1024;

// Lines like "1023\n" delivered in 64 KiB events, as a fast device would fill the port.
void BM_DecodeLinesIn64KiBEvents(benchmark::State& state) {
  std::string event;
  while (event.size() + 5 <= kEventBytes) event += "1023\n";
  const auto linesPerEvent = static_cast<std::int64_t>(event.size() / 5);
  testing::FakeClock clock(36000.0f);
  SampleStore store(clock);
  SerialLineDecoder decoder(store);
  for (auto _ : state) {
    if (store.SampleCount() > SampleStore::kSampleCapacity - linesPerEvent) {
      state.PauseTiming();
      store.ClearSamples();
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(decoder.OnSerialEvent(event));
  }
  state.SetItemsProcessed(state.iterations() * linesPerEvent);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(event.size()));
}
BENCHMARK(BM_DecodeLinesIn64KiBEvents);

// Lines that are no readings, as a charger with another line ending, format or speed sends them:
// what they have in common is gathered while they are split, at no cost worth a second pass.
void BM_DecodeRejectedLinesIn64KiBEvents(benchmark::State& state, const char* line) {
  const std::string text(line);
  std::string event;
  while (event.size() + text.size() <= kEventBytes) event += text;
  testing::FakeClock clock(36000.0f);
  SampleStore store(clock);
  SerialLineDecoder decoder(store);
  for (auto _ : state) benchmark::DoNotOptimize(decoder.OnSerialEvent(event));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(event.size()));
}
BENCHMARK_CAPTURE(BM_DecodeRejectedLinesIn64KiBEvents, crlf, "1023\r\n");
BENCHMARK_CAPTURE(BM_DecodeRejectedLinesIn64KiBEvents, not_numbers, "1.25V\n");
BENCHMARK_CAPTURE(BM_DecodeRejectedLinesIn64KiBEvents, not_text, "\x80\xf3\x13\xfe\xff\x01\n");

// A partial line of almost 1 MiB, then bytes arriving one at a time: each event must cost the
// same however long the waiting line already is.
void BM_DecodeSingleBytesAfterLongPartialLine(benchmark::State& state) {
  const std::size_t prefill = static_cast<std::size_t>(state.range(0));
  testing::FakeClock clock(36000.0f);
  SampleStore store(clock);
  SerialLineDecoder decoder(store);
  decoder.OnSerialEvent(std::string(prefill, ' '));
  std::size_t waiting = prefill;
  for (auto _ : state) {
    if (waiting >= SerialLineDecoder::kMaxPartialLine) {
      state.PauseTiming();
      decoder.OnSerialEvent("\n");
      decoder.OnSerialEvent(std::string(prefill, ' '));
      waiting = prefill;
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(decoder.OnSerialEvent(" "));
    ++waiting;
  }
  state.SetBytesProcessed(state.iterations());
}
BENCHMARK(BM_DecodeSingleBytesAfterLongPartialLine)->Arg(16)->Arg(1000000);

void BM_RecordLiveSample(benchmark::State& state) {
  testing::FakeClock clock(36000.0f);
  SampleStore store(clock);
  for (auto _ : state) {
    if (store.IsFull()) {
      state.PauseTiming();
      store.ClearSamples();
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(store.RecordLiveSample(1023));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordLiveSample);

void BM_ClearSamples(benchmark::State& state) {
  testing::FakeClock clock(36000.0f);
  SampleStore store(clock);
  for (auto _ : state) {
    store.ClearSamples();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ClearSamples);

}  // namespace
}  // namespace ampelon

BENCHMARK_MAIN();
