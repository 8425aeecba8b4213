// The recovery journal's cost at the charger's pace: one reading per serial event, and the
// once-a-second flush to the disk.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "journal/recovery_journal.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

// The system's temporary folder, usually on the disk (not /dev/shm): the flush is part of the cost.
fs::path BenchFolder() {
  return fs::temp_directory_path() /
         ("ampelon-journal-bench-" + std::to_string(std::random_device{}()));
}

// One serial event carrying one reading: format and one write to each file.
void BM_JournalAppendOneReading(benchmark::State& state) {
  const fs::path folder = BenchFolder();
  {
    RecoveryJournal journal(folder);
    std::int16_t reading = 2000;
    double time = 0.1;
    for (auto _ : state) {
      journal.Append(std::span<const std::int16_t>(&reading, 1), std::span<const double>(&time, 1));
      time += 0.003;
      reading = static_cast<std::int16_t>(2000 + (reading + 7) % 450);
    }
    if (!journal.Problem().empty()) state.SkipWithError(journal.Problem().c_str());
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_JournalAppendOneReading)->Unit(benchmark::kMicrosecond);

// One tick: the readings of a second at 320 lines a second, then the flush to the disk. Process
// CPU time, since the flush's work is the kernel's.
void BM_JournalSecondAt320LinesPerSecond(benchmark::State& state) {
  const fs::path folder = BenchFolder();
  {
    RecoveryJournal journal(folder);
    std::int16_t reading = 2000;
    double time = 0.1;
    for (auto _ : state) {
      for (int line = 0; line < 320; ++line, time += 0.003) {
        journal.Append(std::span<const std::int16_t>(&reading, 1),
                       std::span<const double>(&time, 1));
      }
      journal.SyncNow();
    }
    if (!journal.Problem().empty()) state.SkipWithError(journal.Problem().c_str());
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_JournalSecondAt320LinesPerSecond)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace
}  // namespace ampelon

BENCHMARK_MAIN();
