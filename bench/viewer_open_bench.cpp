// Opening a long charge in the viewer, until its first picture is drawn: a graph log of 10
// million lines, with and without its times file, read and analysed as the window reads it. The
// memory counted is what the charge, its analysis and the plot's tables hold afterwards, and the
// most that was held on the way there. Beside it, what registering the file in the charge library
// and --summary cost with the same file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include <malloc.h>
#include <string>

#include "analysis/charge_analyser.h"
#include "history/charge_library.h"
#include "viewer/charge_analysis.h"
#include "viewer/charge_file.h"
#include "viewer/qt/plot_widget.h"
#include "viewer/summary_json.h"

namespace {

// The bytes held through operator new (every std::vector), now and at most since the last reset.
std::atomic<std::size_t> g_newBytes{0};
std::atomic<std::size_t> g_peakNewBytes{0};

void* CountedNew(std::size_t bytes) {
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (block == nullptr) throw std::bad_alloc();
  const std::size_t now = g_newBytes += malloc_usable_size(block);
  std::size_t peak = g_peakNewBytes.load();
  while (now > peak && !g_peakNewBytes.compare_exchange_weak(peak, now)) {
  }
  return block;
}

void CountedDelete(void* block) {
  if (block == nullptr) return;
  g_newBytes -= malloc_usable_size(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t bytes) { return CountedNew(bytes); }
void* operator new[](std::size_t bytes) { return CountedNew(bytes); }
void operator delete(void* block) noexcept { CountedDelete(block); }
void operator delete[](void* block) noexcept { CountedDelete(block); }
void operator delete(void* block, std::size_t) noexcept { CountedDelete(block); }
void operator delete[](void* block, std::size_t) noexcept { CountedDelete(block); }

namespace ampelon {
namespace {

constexpr std::int64_t kReadings = 10'000'000;

// A folder in memory where there is one, so that the figures leave out the disk.
QString BenchFolder() {
  return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

// A charge of `readings` lines, one a second, with its times file when `withTimes`.
void WriteCharge(const std::string& log, std::int64_t readings, bool withTimes) {
  std::ofstream logFile(log, std::ios::binary);
  std::ofstream timesFile;
  if (withTimes) timesFile.open(log.substr(0, log.size() - 4) + ".times", std::ios::binary);
  std::string text;
  std::string times;
  for (std::int64_t i = 0; i < readings; ++i) {
    // A charge's rise with a count of noise: one charge to the analysis, four digits a line.
    const double share = static_cast<double>(i) / static_cast<double>(readings);
    text += std::to_string(1966 + static_cast<int>(450 * (1 - std::exp(-share * 20))) +
                           static_cast<int>((i * 7) % 3)) +
            "\r\n";
    if (withTimes) times += std::to_string(i) + ".000\r\n";
    if (text.size() > (1 << 20)) {
      logFile << text;
      timesFile << times;
      text.clear();
      times.clear();
    }
  }
  logFile << text;
  if (withTimes) timesFile << times;
}

// The bytes the process holds on its heap (glibc).
double HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
}

void BM_ViewerOpen(benchmark::State& state, bool withTimes) {
  QTemporaryDir folder(BenchFolder() + QStringLiteral("/ampelon-bench-XXXXXX"));
  const std::string name = folder.filePath(QStringLiteral("charge.log")).toStdString();
  WriteCharge(name, kReadings, withTimes);
  double bytesPerReading = 0;
  double peakBytesPerReading = 0;
  PlotWidget plot;
  for (auto _ : state) {
    const double before = HeapBytes();
    const std::size_t newBefore = g_newBytes.load();
    g_peakNewBytes.store(newBefore);
    const Result<AnalysedChargeFile> opened = LoadAnalysedChargeFile(name, 5.0);
    if (!opened || opened->file.charge.counts.size() != static_cast<std::size_t>(kReadings)) {
      state.SkipWithError("the graph log could not be read");
      break;
    }
    plot.SetCharge(&opened->file.charge);
    benchmark::DoNotOptimize(plot.RenderImage(QSize(1920, 1080), 1.0).constBits());
    // The first opening counts: later ones may reuse what the plot kept from it.
    if (bytesPerReading == 0) {
      bytesPerReading = (HeapBytes() - before) / static_cast<double>(kReadings);
      peakBytesPerReading =
          static_cast<double>(g_peakNewBytes.load() - newBefore) / static_cast<double>(kReadings);
    }
    plot.SetCharge(nullptr);
  }
  state.counters["bytes_per_reading"] = bytesPerReading;
  state.counters["peak_bytes_per_reading"] = peakBytesPerReading;
  state.SetItemsProcessed(state.iterations() * kReadings);
}
BENCHMARK_CAPTURE(BM_ViewerOpen, 10M, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_ViewerOpen, 10M_with_times, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Registering the same file in the charge library, as the viewer does when it opens it: read,
// judged, its readings hashed, its charges written into a library of its own (made anew each
// time, outside the timing, so that each write is a first one). Against BM_ViewerOpen: at most
// 1.3 times as long.
void BM_ViewerRegister(benchmark::State& state) {
  QTemporaryDir folder(BenchFolder() + QStringLiteral("/ampelon-bench-XXXXXX"));
  const std::string name = folder.filePath(QStringLiteral("charge.log")).toStdString();
  const std::filesystem::path libraryFile =
      folder.filePath(QStringLiteral("library/charges.sqlite")).toStdString();
  WriteCharge(name, kReadings, true);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(libraryFile.parent_path());
    Result<ChargeLibrary> library = ChargeLibrary::Open(libraryFile);
    state.ResumeTiming();
    const Result<AnalysedChargeFile> opened = LoadAnalysedChargeFile(name, 5.0);
    if (!library || !opened) {
      state.SkipWithError("the graph log or the library could not be opened");
      break;
    }
    if (!library->Register(name, opened->readingsHash, opened->recordedAt,
                           opened->analysis.Analyser().AllFigures())) {
      state.SkipWithError("not registered");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kReadings);
}
BENCHMARK(BM_ViewerRegister)
    ->Name("BM_ViewerRegister/10M_with_times")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// ampelon-viewer --summary --json: the file read, judged, and its figures written.
void BM_ViewerSummary(benchmark::State& state) {
  QTemporaryDir folder(BenchFolder() + QStringLiteral("/ampelon-bench-XXXXXX"));
  const std::string name = folder.filePath(QStringLiteral("charge.log")).toStdString();
  WriteCharge(name, kReadings, true);
  for (auto _ : state) {
    const Result<ChargeFile> loaded = LoadChargeFile(name);
    if (!loaded) {
      state.SkipWithError("the graph log could not be read");
      break;
    }
    ChargeAnalyser analyser;
    analyser.Feed(loaded->charge.counts, loaded->charge.seconds);
    benchmark::DoNotOptimize(
        SummaryJson(loaded->charge.counts.size(), true, analyser.AllFigures()).size());
  }
  state.SetItemsProcessed(state.iterations() * kReadings);
}
BENCHMARK(BM_ViewerSummary)
    ->Name("BM_ViewerSummary/10M_with_times")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace ampelon

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
