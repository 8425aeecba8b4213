// The charge library at the size of years of use: 5000 charges of 25 batteries, 200 each. The
// history window asks for one battery's charges, `--history` for every battery with its
// judgement; Ampelon and the viewer register one charge at a time.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "bench_charge_library.h"
#include "history/charge_library.h"
#include "history/readings_hash.h"

namespace ampelon {
namespace {

constexpr int kBatteries = BenchChargeLibrary::kBatteries;
constexpr int kChargesEach = BenchChargeLibrary::kChargesEach;

ChargeLibrary& Library() { return BenchChargeLibrary::Shared().Library(); }
ChargeFigures Figures(int charge) { return BenchChargeLibrary::Figures(charge); }

void BM_ChargesOfABatteryOf200In5000(benchmark::State& state) {
  ChargeLibrary& library = Library();
  for (auto _ : state) {
    const Result<std::vector<ChargeRecord>> charges = library.ChargesOf("Pack 7");
    if (!charges || charges->size() != kChargesEach) state.SkipWithError("wrong charges");
  }
}
BENCHMARK(BM_ChargesOfABatteryOf200In5000)->Unit(benchmark::kMillisecond);

void BM_EveryBatteryWithItsJudgementIn5000(benchmark::State& state) {
  ChargeLibrary& library = Library();
  for (auto _ : state) {
    const Result<std::vector<BatterySummary>> batteries = library.Batteries();
    if (!batteries || batteries->size() != kBatteries) state.SkipWithError("wrong batteries");
  }
}
BENCHMARK(BM_EveryBatteryWithItsJudgementIn5000)->Unit(benchmark::kMillisecond);

// A new file of one charge each time, into the library of 5000.
void BM_RegisterOneCharge(benchmark::State& state) {
  ChargeLibrary& library = Library();
  std::uint64_t hash = 1'000'000;
  for (auto _ : state) {
    if (!library.Register("/logs/new.txt", ++hash, 1'700'000'000, {Figures(0)})) {
      state.SkipWithError("not registered");
    }
  }
}
BENCHMARK(BM_RegisterOneCharge)->Unit(benchmark::kMillisecond);

// What registering adds to opening a log: the hash of its 10 M readings.
void BM_HashTenMillionReadings(benchmark::State& state) {
  std::vector<std::int16_t> counts(10'000'000);
  std::mt19937 random(1);
  for (std::int16_t& count : counts) count = static_cast<std::int16_t>(2200 + random() % 64);
  for (auto _ : state) {
    ReadingsHash hash;
    hash.Feed(counts);
    benchmark::DoNotOptimize(hash.Value());
  }
}
BENCHMARK(BM_HashTenMillionReadings)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ampelon

BENCHMARK_MAIN();
