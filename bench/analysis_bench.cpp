// The live analysis beside the decoding of the same serial events: judging a charge may add
// little to what a serial event costs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/charge_analyser.h"
#include "fakes/fake_clock.h"
#include "measurement/sample_store.h"
#include "measurement/serial_line_decoder.h"

namespace ampelon {
namespace {

constexpr std::size_t kEventBytes = 64 * 1024;
// A 64 KiB event of lines like "1023\n".
constexpr std::size_t kReadingsPerEvent = kEventBytes / 5;
constexpr std::size_t kEvents = 64;

void BM_DecodeLinesIn64KiBEvents(benchmark::State& state) {
  std::string event;
  while (event.size() + 5 <= kEventBytes) event += "1023\n";
  testing::FakeClock clock(36000.0f);
  SampleStore store(clock);
  SerialLineDecoder decoder(store);
  for (auto _ : state) {
    if (store.SampleCount() > SampleStore::kSampleCapacity - static_cast<int>(kReadingsPerEvent)) {
      state.PauseTiming();
      store.ClearSamples();
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(decoder.OnSerialEvent(event));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kReadingsPerEvent));
}
BENCHMARK(BM_DecodeLinesIn64KiBEvents);

// The readings of 64 KiB events, one event a call, with their times two seconds apart: a noisy
// charge that goes on rising for 19 days, so that every rule is looked at on every block.
void BM_AnalyseReadingsOf64KiBEvents(benchmark::State& state) {
  std::vector<std::int16_t> counts(kEvents * kReadingsPerEvent);
  std::vector<double> seconds(counts.size());
  std::mt19937 random(1);
  std::uniform_int_distribution<int> noise(-2, 2);
  for (std::size_t i = 0; i < counts.size(); ++i) {
    seconds[i] = 2.0 * static_cast<double>(i);
    counts[i] = static_cast<std::int16_t>(2200 + 100 * (1.0 - std::exp(-seconds[i] / 900.0)) +
                                          seconds[i] / 3600.0 + noise(random));
  }
  auto analyser = std::make_unique<ChargeAnalyser>();
  std::size_t event = 0;
  for (auto _ : state) {
    if (event == kEvents) {
      state.PauseTiming();
      analyser = std::make_unique<ChargeAnalyser>();
      event = 0;
      state.ResumeTiming();
    }
    const std::size_t at = event++ * kReadingsPerEvent;
    analyser->Feed(std::span(counts).subspan(at, kReadingsPerEvent),
                   std::span(seconds).subspan(at, kReadingsPerEvent));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kReadingsPerEvent));
}
BENCHMARK(BM_AnalyseReadingsOf64KiBEvents);

}  // namespace
}  // namespace ampelon

BENCHMARK_MAIN();
