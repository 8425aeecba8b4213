#include "viewer/charge_analysis.h"

#include <chrono>
#include <new>
#include <utility>

#include "common/utf8_path.h"
#include "history/readings_hash.h"
#include "viewer/charge_registration.h"

namespace ampelon {
namespace {

// Unix seconds; 0 where the system cannot tell.
std::int64_t WrittenAt(const std::filesystem::path& path) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(path, error);
  if (error) return 0;
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::file_clock::to_sys(written).time_since_epoch())
      .count();
}

}  // namespace

ChargeAnalysis::ChargeAnalysis(double peakDropMillivolts)
    : m_peakDrop(peakDropMillivolts), m_analyser(peakDropMillivolts) {}

void ChargeAnalysis::Update(const Charge& charge) {
  const bool timed = !charge.seconds.empty() && charge.seconds.size() == charge.counts.size();
  const std::size_t fed = m_analyser.ReadingsFed();
  if (charge.counts.size() < fed || timed != m_timed) {
    // Readings judged without their times are judged again with them.
    m_analyser = ChargeAnalyser(m_peakDrop);
    m_statistics.Clear();
    m_timed = timed;
  }
  const std::size_t from = m_analyser.ReadingsFed();
  const std::span<const std::int16_t> counts(charge.counts);
  const std::span<const double> seconds =
      timed ? std::span<const double>(charge.seconds) : std::span<const double>();
  if (counts.size() > from) {
    m_analyser.Feed(counts.subspan(from), timed ? seconds.subspan(from) : seconds);
  }
  m_statistics.Extend(counts, seconds);
}

void ChargeAnalysis::SetPeakDrop(double peakDropMillivolts, const Charge& charge) {
  m_peakDrop = peakDropMillivolts;
  m_analyser = ChargeAnalyser(m_peakDrop);
  Update(charge);
}

std::optional<std::size_t> ChargeAnalysis::LongestChargePeak() const {
  std::optional<ChargeFigures> longest;
  for (const ChargeFigures& figures : m_analyser.AllFigures()) {
    if (!longest ||
        figures.lastSample - figures.firstSample > longest->lastSample - longest->firstSample) {
      longest = figures;
    }
  }
  if (!longest || longest->peakSample == 0) return std::nullopt;
  return longest->peakSample - 1;
}

Result<AnalysedChargeFile> LoadAnalysedChargeFile(
    const std::filesystem::path& path, double peakDropMillivolts,
    const std::function<void(double share)>& onProgress, const std::atomic<bool>* cancel) {
  Result<ChargeFile> file = LoadChargeFile(path, onProgress, cancel);
  if (!file) return Failure{file.error()};
  if (cancel != nullptr && cancel->load()) return Failure{kReadCancelled};
  try {
    AnalysedChargeFile analysed{std::move(*file), ChargeAnalysis(peakDropMillivolts)};
    analysed.analysis.Update(analysed.file.charge);
    // Some milliseconds for ten million readings, on the thread that read them.
    ReadingsHash hash;
    hash.Feed(analysed.file.charge.counts);
    analysed.readingsHash = hash.Value();
    analysed.recordedAt = RecordedAt(analysed.file.charge, WrittenAt(path));
    return analysed;
  } catch (const std::bad_alloc&) {
    return Failure{"There is not enough memory to judge " + Utf8FromPath(path) + "."};
  }
}

}  // namespace ampelon
