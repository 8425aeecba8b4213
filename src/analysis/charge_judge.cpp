#include "analysis/charge_judge.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "analysis/charge_rules.h"
#include "common/volts.h"

namespace ampelon {
namespace {

namespace rules = charge_rules;

constexpr double kMillivoltsPerCount = kFullScaleVolts * 1000.0 / kFullScale;
constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

static_assert(rules::kBlockReadings == 16, "the judge's blocks are of 16 readings");
// A block's sum without its extremes, in millivolts: a multiplication, where a division would
// cost a block as much as all its additions.
constexpr double kMillivoltsPerTrimmedSum = kMillivoltsPerCount / (rules::kBlockReadings - 2);

double Known(double seconds) { return seconds >= 0.0 ? seconds : kUnknown; }

}  // namespace

ChargeJudge::ChargeJudge(std::size_t firstSample, double firstSeconds, double peakDropMillivolts)
    : m_firstSample(firstSample),
      m_firstSeconds(Known(firstSeconds)),
      m_timesKnown(std::isfinite(m_firstSeconds)),
      m_peakDrop(peakDropMillivolts),
      m_lastSeconds(m_firstSeconds),
      m_latestSeconds(m_firstSeconds) {}

void ChargeJudge::Add(std::span<const std::int16_t> counts, std::span<const double> seconds) {
  const auto secondsOf = [&](std::size_t i) { return seconds.empty() ? kUnknown : seconds[i]; };
  if (counts.empty()) return;
  m_lastSeconds = Known(secondsOf(counts.size() - 1));
  for (std::size_t i = 0; m_added + i < m_firstCounts.size() && i < counts.size(); ++i) {
    m_firstCounts[m_added + i] = counts[i];
  }
  std::size_t i = 0;
  // Whole blocks are taken where they lie; a block begun in an earlier call is filled first.
  while (i < counts.size()) {
    if (m_partialCount == 0 && counts.size() - i >= kBlock) {
      m_added += kBlock;
      AddBlock(counts.data() + i, m_firstSample + m_added - 1, secondsOf(i + kBlock - 1));
      i += kBlock;
      continue;
    }
    m_partial[static_cast<std::size_t>(m_partialCount++)] = counts[i];
    ++m_added;
    if (m_partialCount == kBlock) {
      m_partialCount = 0;
      AddBlock(m_partial.data(), m_firstSample + m_added - 1, secondsOf(i));
    }
    ++i;
  }
}

void ChargeJudge::AddBlock(const std::int16_t* counts, std::size_t lastSample, double lastSeconds) {
  // In the readings' own 16 bits, which the compiler compares eight at once.
  int sum = 0;
  std::int16_t lowest = counts[0];
  std::int16_t highest = counts[0];
  for (int i = 0; i < kBlock; ++i) sum += counts[i];
  for (int i = 1; i < kBlock; ++i) {
    lowest = std::min(lowest, counts[i]);
    highest = std::max(highest, counts[i]);
  }
  // The block without its highest and lowest reading: a single wild one moves nothing. Sums of
  // whole counts keep this exact and cheap; volts come at the end.
  m_trimmed[0] = m_trimmed[1];
  m_trimmed[1] = m_trimmed[2];
  m_trimmed[2] = sum - lowest - highest;
  ++m_blocks;
  const double smoothed = m_trimmed[2] * kMillivoltsPerTrimmedSum;
  // The block before this one, about the line through it and its neighbours. The noise of a
  // long charge is measured on every fourth block: as good a measure, at a quarter of the cost.
  if (m_measurePrevious) AddNoise();
  m_measurePrevious = m_blocks <= kBlocksAllMeasured || m_blocks % 4 == 0;
  if (m_measurePrevious) std::copy(counts, counts + kBlock, m_previous.begin());
  Judge(smoothed, lastSample, InOrder(lastSeconds));
}

double ChargeJudge::InOrder(double seconds) {
  seconds = Known(seconds);
  if (!(seconds >= m_latestSeconds)) return kUnknown;
  m_latestSeconds = seconds;
  return seconds;
}

void ChargeJudge::AddNoise() {
  if (m_blocks < 3) return;  // the first block has no block before it
  // Each reading's distance from the line through the means of its block and of the blocks
  // either side (so that the charge's own rise counts for nothing), in whole numbers: times
  // kTrimmedReadings for a block's sum, and 2 * kBlock for the slope across two blocks.
  constexpr int kScale = kTrimmedReadings * 4 * kBlock;
  constexpr int kWild =
      static_cast<int>(rules::kWildReadingMillivolts / kMillivoltsPerCount * kScale);
  const int middle = 4 * kBlock * m_trimmed[1];
  const int rise = m_trimmed[2] - m_trimmed[0];
  long long squares = 0;
  for (int i = 0; i < kBlock; ++i) {
    const int line = middle + rise * (2 * i - (kBlock - 1));
    const int off =
        std::min(std::abs(m_previous[static_cast<std::size_t>(i)] * kScale - line), kWild);
    squares += static_cast<long long>(off) * off;
  }
  // A charge's first minutes are measured apart: a fast first rise is no straight line.
  (m_held ? m_noise : m_earlyNoise).Add(squares, kBlock);
}

void ChargeJudge::Judge(double smoothed, std::size_t sample, double seconds) {
  m_latest = smoothed;
  const double elapsed = seconds - m_firstSeconds;  // NaN where either is not known
  if (m_timesKnown && std::isfinite(elapsed)) {
    if (m_minutes.Add(elapsed, sample, smoothed)) TrackHighs(m_minutes.Points().back());
  }
  if (m_end != ChargeEnd::kRising) return;
  if (smoothed > m_highest) {
    m_highest = smoothed;
    m_highestSample = sample;
    m_highestSeconds = elapsed;
  }
  if (!m_held) {
    m_held = std::isfinite(elapsed) ? elapsed >= rules::kHoldOffSeconds
                                    : sample - m_firstSample + 1 >= rules::kHoldOffReadings;
    if (!m_held) return;
  }
  if (smoothed > m_peak) {
    m_peak = smoothed;
    m_peakSample = sample;
    m_peakSeconds = elapsed;
  }
  ChargeEnd end = ChargeEnd::kRising;
  if (m_peak - smoothed >= m_peakDrop) {
    end = ChargeEnd::kPeakPassed;
  } else if (std::isfinite(elapsed) && m_highSeconds &&
             elapsed - *m_highSeconds >= rules::kPlateauSeconds &&
             m_peak - smoothed <= rules::kPlateauBandMillivolts &&
             FinalClimbLedTo(*m_highSeconds)) {
    end = ChargeEnd::kPlateau;
  }
  if (end != ChargeEnd::kRising) {
    m_end = end;
    m_endSample = sample;
    m_endSeconds = elapsed;
  }
}

void ChargeJudge::TrackHighs(const MinuteSeries::Point& minute) {
  if (minute.seconds < rules::kHoldOffSeconds) return;
  const auto recent = m_minutes.MeanBefore(minute.seconds, rules::kHighWindowMinutes);
  if (!recent) return;
  if (recent->millivolts > m_high + rules::kNewHighMillivolts) {
    m_highSeconds = minute.seconds;
    m_climbLedToHigh.reset();
  }
  m_high = std::max(m_high, recent->millivolts);
}

bool ChargeJudge::FinalClimbLedTo(double seconds) {
  if (!m_climbLedToHigh) {
    const auto middle = m_minutes.SlopeBetween(
        seconds * rules::kMiddleFrom, seconds * rules::kMiddleTo, rules::kSlopeWindowMinutes);
    const auto climb =
        m_minutes.SlopeBetween(seconds - rules::kClimbSeconds, seconds, rules::kSlopeWindowMinutes);
    m_climbLedToHigh =
        middle && climb &&
        *climb >= std::max(rules::kClimbFactor * *middle, rules::kClimbLeastMillivoltsPerMinute);
  }
  return *m_climbLedToHigh;
}

ChargeFigures ChargeJudge::Figures(std::size_t lastSample, double lastSeconds) const {
  ChargeFigures figures;
  figures.firstSample = m_firstSample;
  figures.lastSample = std::max(lastSample, m_firstSample);
  figures.timesKnown = m_timesKnown;
  const auto fromStart = [&](double seconds) -> std::optional<double> {
    if (!m_timesKnown || !std::isfinite(seconds)) return std::nullopt;
    return seconds;
  };
  if (m_blocks == 0) {
    // Too few readings for a block: their middle value stands for the whole charge.
    std::vector<std::int16_t> sorted(m_partial.begin(), m_partial.begin() + m_partialCount);
    std::sort(sorted.begin(), sorted.end());
    const double middle = sorted.empty() ? 0.0 : sorted[sorted.size() / 2];
    figures.startVolts = figures.peakVolts = middle * kMillivoltsPerCount / 1000.0;
    figures.peakSample = m_firstSample;
    figures.peakSeconds = fromStart(0.0);
  } else {
    const bool peakFound = m_peak > -1e300;
    // The middle of the first three readings: the start, whatever a single wild one says.
    const std::array<std::int16_t, 3>& first = m_firstCounts;
    const int start =
        std::max(std::min(first[0], first[1]), std::min(std::max(first[0], first[1]), first[2]));
    figures.startVolts = start * kMillivoltsPerCount / 1000.0;
    figures.peakVolts = (peakFound ? m_peak : m_highest) / 1000.0;
    figures.peakSample = peakFound ? m_peakSample : m_highestSample;
    figures.peakSeconds = fromStart(peakFound ? m_peakSeconds : m_highestSeconds);
    figures.dropMillivolts = std::max(0.0, (peakFound ? m_peak : m_highest) - m_latest);
  }
  figures.end = m_end;
  if (m_end != ChargeEnd::kRising) {
    figures.endSample = m_endSample;
    figures.endSeconds = fromStart(m_endSeconds);
  }
  const double duration =
      (Known(lastSeconds) >= m_latestSeconds ? lastSeconds : kUnknown) - m_firstSeconds;
  figures.durationSeconds = fromStart(duration);
  if (figures.durationSeconds) {
    figures.slopeMillivoltsPerMinute = m_minutes.SlopeBetween(
        duration * rules::kMiddleFrom, duration * rules::kMiddleTo, rules::kSlopeWindowMinutes);
  }
  const NoiseSum noise =
      m_noise.readings >= kSettledNoiseReadings ? m_noise : m_earlyNoise.And(m_noise);
  if (noise.readings > 0) {
    constexpr double kScale = kTrimmedReadings * 4 * kBlock;
    figures.noiseMillivolts =
        std::sqrt(static_cast<double>(noise.squares) / static_cast<double>(noise.readings)) /
        kScale * kMillivoltsPerCount;
  }
  return figures;
}

}  // namespace ampelon
