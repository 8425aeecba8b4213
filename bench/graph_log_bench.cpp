// Loading and saving a full graph log through the program's own file access.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "measurement/byte_source.h"
#include "measurement/graph_log_parser.h"
#include "measurement/graph_log_reader.h"
#include "measurement/graph_log_writer.h"
#include "measurement/sample_store.h"
#include "ui/qt/qt_graph_file_access.h"

namespace ampelon {
namespace {

std::vector<std::int16_t> ChargeReadings() {
  std::vector<std::int16_t> readings;
  for (int i = 0; i < SampleStore::kSampleCapacity; ++i) {
    readings.push_back(static_cast<std::int16_t>(1966 + (i * 7) % 450));
  }
  return readings;
}

// A folder in memory where there is one, so that the figures leave out the disk's flush.
QString BenchFolder() {
  return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

void BM_LoadGraphLog100k(benchmark::State& state) {
  QTemporaryDir folder(BenchFolder() + QStringLiteral("/ampelon-bench-XXXXXX"));
  const std::string name = folder.filePath(QStringLiteral("charge.log")).toStdString();
  QtGraphFileAccess files;
  if (const Result<void> saved = files.WriteWhole(name, FormatGraphLog(ChargeReadings())); !saved) {
    state.SkipWithError(saved.error().c_str());
    return;
  }
  testing::FakeClock clock(36000.0f);
  SampleStore store(clock);
  for (auto _ : state) {
    const auto opened = files.OpenForReading(name);
    GraphLogParser parser(SampleStore::kSampleCapacity);
    if (!opened || !ReadGraphLog(*opened.value(), parser)) {
      state.SkipWithError("the graph log could not be read");
      break;
    }
    store.ClearSamples();
    for (const std::int16_t reading : parser.Readings()) store.AppendSample(reading);
    benchmark::DoNotOptimize(store.SampleCount());
  }
  state.SetItemsProcessed(state.iterations() * SampleStore::kSampleCapacity);
}
BENCHMARK(BM_LoadGraphLog100k)->Unit(benchmark::kMillisecond);

void BM_SaveGraphLog100k(benchmark::State& state) {
  QTemporaryDir folder(BenchFolder() + QStringLiteral("/ampelon-bench-XXXXXX"));
  const std::string name = folder.filePath(QStringLiteral("charge.log")).toStdString();
  const std::vector<std::int16_t> readings = ChargeReadings();
  QtGraphFileAccess files;
  for (auto _ : state) {
    const Result<void> saved = files.WriteWhole(name, FormatGraphLog(readings));
    if (!saved) state.SkipWithError(saved.error().c_str());
  }
  state.SetItemsProcessed(state.iterations() * SampleStore::kSampleCapacity);
}
BENCHMARK(BM_SaveGraphLog100k)->Unit(benchmark::kMillisecond);

// A file that never ends: loading stops after the store is full and a bounded look ahead.
class EndlessLines final : public ByteSource {
 public:
  Result<std::size_t> Read(std::span<char> buffer) override {
    for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = "1023\r\n"[(m_bytes + i) % 6];
    m_bytes += buffer.size();
    return buffer.size();
  }
  std::size_t m_bytes = 0;
};

void BM_LoadEndlessFile(benchmark::State& state) {
  std::size_t bytesRead = 0;
  for (auto _ : state) {
    EndlessLines file;
    GraphLogParser parser(SampleStore::kSampleCapacity);
    static_cast<void>(ReadGraphLog(file, parser));  // an endless file never fails
    bytesRead = file.m_bytes;
  }
  state.counters["bytes_read"] = static_cast<double>(bytesRead);
}
BENCHMARK(BM_LoadEndlessFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ampelon

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
