#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "analysis/charge_analyser.h"
#include "common/result.h"
#include "viewer/charge.h"
#include "viewer/charge_file.h"
#include "viewer/reading_statistics.h"

namespace ampelon {

// What the viewer knows of a charge it shows beyond its readings, kept up with the charge as it
// grows: how each charge in it went (ChargeAnalyser) and the sums behind the statistics of any
// stretch of it.
class ChargeAnalysis {
 public:
  explicit ChargeAnalysis(double peakDropMillivolts = charge_rules::kPeakDropMillivolts);

  // Takes in the readings added to `charge` since the last call, a few steps each. A charge that
  // lost readings, or whose times became known, is taken afresh.
  void Update(const Charge& charge);
  // Judges `charge` again with another -dV threshold.
  void SetPeakDrop(double peakDropMillivolts, const Charge& charge);

  const ChargeAnalyser& Analyser() const { return m_analyser; }
  // The reading (from 0) at the peak of the longest charge (a log may hold several); nothing
  // before the analysis has one.
  std::optional<std::size_t> LongestChargePeak() const;
  const ReadingStatistics& Statistics() const { return m_statistics; }
  double PeakDropMillivolts() const { return m_peakDrop; }

 private:
  double m_peakDrop;
  ChargeAnalyser m_analyser;
  ReadingStatistics m_statistics;
  bool m_timed = false;  // the readings fed had times
};

// A graph log read whole, and its analysis.
struct AnalysedChargeFile {
  ChargeFile file;
  ChargeAnalysis analysis;
  // What the charge library knows the file by: a hash of its counts (ReadingsHash), so that a
  // moved or copied log is found again, and when it was recorded (RecordedAt).
  std::uint64_t readingsHash = 0;
  std::int64_t recordedAt = 0;
};

// LoadChargeFile(), then the analysis of what it read and its hash, as the viewer opens a file.
Result<AnalysedChargeFile> LoadAnalysedChargeFile(
    const std::filesystem::path& path, double peakDropMillivolts,
    const std::function<void(double share)>& onProgress = {},
    const std::atomic<bool>* cancel = nullptr);

}  // namespace ampelon
