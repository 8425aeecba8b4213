// What Battery History… and --history read and write for a library of 5000 charges: the
// batteries with their judgements and table rows, then one battery's 200 charges with theirs,
// as the window builds them before it fills its tables; and --history's JSON of every battery.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLocale>
#include <vector>

#include "bench_charge_library.h"
#include "history/battery_judgement.h"
#include "viewer/history_json.h"
#include "viewer/qt/history_text.h"

namespace ampelon {
namespace {

void BM_HistoryWindowOfABatteryOf200In5000(benchmark::State& state) {
  ChargeLibrary& library = BenchChargeLibrary::Shared().Library();
  const QLocale locale;
  for (auto _ : state) {
    const Result<std::vector<BatterySummary>> batteries = library.Batteries();
    if (!batteries || batteries->size() != BenchChargeLibrary::kBatteries) {
      state.SkipWithError("wrong batteries");
      break;
    }
    std::vector<QStringList> batteryRows;
    for (const BatterySummary& battery : *batteries) {
      batteryRows.push_back(BatteryRow(locale, battery));
    }
    const Result<std::vector<ChargeRecord>> charges = library.ChargesOf("Pack 7");
    if (!charges || charges->size() != BenchChargeLibrary::kChargesEach) {
      state.SkipWithError("wrong charges");
      break;
    }
    std::vector<QStringList> chargeRows;
    for (const ChargeRecord& charge : *charges) chargeRows.push_back(ChargeRow(locale, charge));
    benchmark::DoNotOptimize(JudgeBatteryNamed("Pack 7", *charges).size());
    benchmark::DoNotOptimize(chargeRows.data());
    benchmark::DoNotOptimize(batteryRows.data());
  }
}
BENCHMARK(BM_HistoryWindowOfABatteryOf200In5000)->Unit(benchmark::kMillisecond);

// ampelon-viewer --history --json, less the start of the process.
void BM_HistoryCommandOfEveryBatteryIn5000(benchmark::State& state) {
  ChargeLibrary& library = BenchChargeLibrary::Shared().Library();
  for (auto _ : state) {
    const Result<std::vector<BatterySummary>> batteries = library.Batteries();
    if (!batteries) {
      state.SkipWithError("no batteries");
      break;
    }
    benchmark::DoNotOptimize(BatteriesJson(*batteries).size());
  }
}
BENCHMARK(BM_HistoryCommandOfEveryBatteryIn5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ampelon

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
