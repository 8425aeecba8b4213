// The charge library at the size of years of use: 5000 charges of 25 batteries, 200 each. The
// history window asks for one battery's charges, `--history` for every battery with its
// judgement; Ampelon and the viewer register one charge at a time.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "history/charge_library.h"
#include "history/readings_hash.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

constexpr int kBatteries = 25;
constexpr int kChargesEach = 200;

ChargeFigures Figures(int charge) {
  ChargeFigures figures;
  figures.lastSample = 3600;
  figures.timesKnown = true;
  figures.peakVolts = 1.48 + 0.0001 * charge;
  figures.peakSeconds = 5400.0 - charge;
  figures.end = ChargeEnd::kPeakPassed;
  figures.endSample = 3500;
  figures.dropMillivolts = 8.0;
  figures.durationSeconds = 7000.0;
  return figures;
}

// The library, made once for every benchmark of the run in a folder removed at the end.
class BenchLibrary {
 public:
  BenchLibrary()
      : m_folder(fs::temp_directory_path() /
                 ("ampelon-history-bench-" + std::to_string(std::random_device{}()))),
        m_library(std::move(ChargeLibrary::Open(m_folder / "charges.sqlite").value())) {
    for (int charge = 0; charge < kChargesEach; ++charge) {
      for (int battery = 0; battery < kBatteries; ++battery) {
        const std::uint64_t hash = static_cast<std::uint64_t>(charge * kBatteries + battery + 1);
        const std::int64_t id = m_library
                                    .Register("/logs/charge.txt", hash,
                                              1'600'000'000 + charge * 86400, {Figures(charge)})
                                    ->front()
                                    .id;
        const BatteryDetails details{"Pack " + std::to_string(battery), Chemistry::kNiMH, 2000,
                                     1000, ""};
        if (!m_library.SetDetails(id, details)) std::abort();
      }
    }
  }
  ~BenchLibrary() {
    std::error_code error;
    fs::remove_all(m_folder, error);
  }
  ChargeLibrary& Library() { return m_library; }

 private:
  fs::path m_folder;
  ChargeLibrary m_library;
};

ChargeLibrary& Library() {
  static BenchLibrary library;
  return library.Library();
}

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
