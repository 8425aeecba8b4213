#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "analysis/charge_figures.h"
#include "analysis/minute_series.h"

namespace ampelon {

// Judges one charge from its readings, fed in order: the smoothed curve, its noise, the peak
// after the hold-off, and how the charge ended (charge_rules.h). Incremental: each reading costs
// the same however long the charge is, and the figures are ready at any point.
class ChargeJudge {
 public:
  // `firstSample` numbers the charge's first reading; `firstSeconds` is its time, NaN where not
  // known (the rules that need minutes are then not applied); `peakDropMillivolts` is -dV.
  ChargeJudge(std::size_t firstSample, double firstSeconds, double peakDropMillivolts);

  // The charge's next readings and their times (empty when not known; NaN for a reading whose
  // time is not).
  void Add(std::span<const std::int16_t> counts, std::span<const double> seconds);

  // The figures so far, as if the charge went on to `lastSample` at `lastSeconds` (readings not
  // yet judged, NaN where not known).
  ChargeFigures Figures(std::size_t lastSample, double lastSeconds) const;
  const MinuteSeries& Minutes() const { return m_minutes; }
  // How the charge ended so far: Figures().end without the work of the other figures.
  ChargeEnd End() const { return m_end; }
  std::size_t FirstSample() const { return m_firstSample; }
  // The time of the last reading added, NaN where not known.
  double LastSeconds() const { return m_lastSeconds; }

 private:
  static constexpr int kBlock = 16;
  static constexpr int kTrimmedReadings = kBlock - 2;
  // The readings behind a smoothed value: three blocks without their extremes.
  static constexpr int kCentredReadings = 3 * kTrimmedReadings;
  // The noise is measured on every block of a charge's first ones, then on every fourth.
  static constexpr std::size_t kBlocksAllMeasured = 64;
  // Enough readings after the hold-off to measure the noise on them alone.
  static constexpr long long kSettledNoiseReadings = 64;

  // The readings of one whole block, its last reading's sample and time.
  void AddBlock(const std::int16_t* counts, std::size_t lastSample, double lastSeconds);
  void Judge(double smoothed, std::size_t sample, double seconds);
  // `seconds`, or NaN when it is not known or earlier than a time judged before: the rules
  // measure minutes forwards only, so a times file run backwards (or started over, as two logs
  // joined) leaves the rest of the charge judged by its readings.
  double InOrder(double seconds);
  // Adds the readings of the block before the last to the noise.
  void AddNoise();
  void TrackHighs(const MinuteSeries::Point& minute);
  bool FinalClimbLedTo(double seconds);

  std::size_t m_firstSample;
  double m_firstSeconds;
  bool m_timesKnown;
  double m_peakDrop;
  std::size_t m_added = 0;  // readings added
  double m_lastSeconds;
  double m_latestSeconds;  // the latest time judged (NaN: the charge has no times)

  std::array<std::int16_t, kBlock> m_partial{};  // a block being filled
  int m_partialCount = 0;
  std::array<std::int16_t, kBlock> m_previous{};  // the last whole block, for its noise
  std::array<int, 3> m_trimmed{};  // the last three blocks' sums without their extremes
  std::size_t m_blocks = 0;
  std::array<std::int16_t, 3> m_firstCounts{};
  double m_latest = 0.0;  // the latest smoothed value

  // The squared distances of readings from the smoothed curve, in whole numbers (AddNoise).
  struct NoiseSum {
    long long squares = 0;
    long long readings = 0;
    void Add(long long moreSquares, long long moreReadings) {
      squares += moreSquares;
      readings += moreReadings;
    }
    NoiseSum And(const NoiseSum& other) const {
      return {squares + other.squares, readings + other.readings};
    }
  };
  NoiseSum m_noise;       // after the hold-off
  NoiseSum m_earlyNoise;  // in it
  bool m_measurePrevious = false;

  // Before the hold-off ends, the highest value stands in for the peak of a charge too short.
  double m_highest = -1e300;
  std::size_t m_highestSample = 0;
  double m_highestSeconds = 0.0;
  bool m_held = false;  // the hold-off is over
  double m_peak = -1e300;
  std::size_t m_peakSample = 0;
  double m_peakSeconds = 0.0;

  ChargeEnd m_end = ChargeEnd::kRising;
  std::size_t m_endSample = 0;
  double m_endSeconds = 0.0;

  MinuteSeries m_minutes;
  double m_high = -1e300;                // the highest mean of recent minutes after the hold-off
  std::optional<double> m_highSeconds;   // when it last rose by more than the least new high
  std::optional<bool> m_climbLedToHigh;  // the final-climb test, once per new high
};

}  // namespace ampelon
