#include "analysis/charge_analyser.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "common/volts.h"

namespace ampelon {
namespace {

namespace rules = charge_rules;

constexpr double kMillivoltsPerCount = kFullScaleVolts * 1000.0 / kFullScale;
constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();
// The least fall between two readings that may be a battery changed, in whole counts.
constexpr double kFall = rules::kNewChargeFallVolts / kFullScaleVolts * kFullScale;
constexpr int kFallCounts = static_cast<int>(kFall) + (kFall > static_cast<int>(kFall) ? 1 : 0);

constexpr std::size_t kScanned = 32;

// Whether one of the kScanned readings from `counts` (and `seconds`, where known) may start a
// charge: a fall from the reading before it, or a pause before it. Written so that the compiler
// compares several at once.
bool MayStartCharge(const std::int16_t* counts, const double* seconds) {
  int fell = 0;
  for (std::size_t k = 0; k < kScanned; ++k) fell |= counts[k - 1] - counts[k] >= kFallCounts;
  if (fell != 0 || seconds == nullptr) return fell != 0;
  // Two times at once, in the vector types GCC and Clang share.
  using Pair = double __attribute__((vector_size(16)));
  using Mask = long long __attribute__((vector_size(16)));
  Mask paused = {0, 0};
  for (std::size_t k = 0; k < kScanned; k += 2) {
    Pair later;
    Pair earlier;
    std::memcpy(&later, seconds + k, sizeof later);
    std::memcpy(&earlier, seconds + k - 1, sizeof earlier);
    paused |= later - earlier >= rules::kPauseSeconds;
  }
  return (paused[0] | paused[1]) != 0;
}

int MiddleOf(int a, int b, int c) { return std::max(std::min(a, b), std::min(std::max(a, b), c)); }

}  // namespace

ChargeAnalyser::ChargeAnalyser(double peakDropMillivolts)
    : m_peakDrop(peakDropMillivolts), m_lastSeconds(kUnknown) {}

std::int16_t ChargeAnalyser::CountAt(std::size_t sample) const {
  return sample >= m_spanStart ? m_counts[sample - m_spanStart] : m_recentCounts[sample % kRecent];
}

double ChargeAnalyser::SecondsAt(std::size_t sample) const {
  if (sample < m_spanStart) return m_recentSeconds[sample % kRecent];
  if (m_seconds.empty()) return kUnknown;
  const double seconds = m_seconds[sample - m_spanStart];
  return seconds >= 0.0 ? seconds : kUnknown;
}

void ChargeAnalyser::Feed(std::span<const std::int16_t> counts, std::span<const double> seconds) {
  if (counts.empty()) return;
  m_counts = counts;
  m_seconds = seconds.size() == counts.size() ? seconds : std::span<const double>();
  m_spanStart = m_fed;
  m_fed += counts.size();
  // A reading is decided once the two after it are known.
  if (m_fed > 2) Commit(m_fed - 2);
  for (std::size_t sample = std::max(m_spanStart, m_fed - std::min(m_fed, kRecent)); sample < m_fed;
       ++sample) {
    m_recentCounts[sample % kRecent] = CountAt(sample);
    m_recentSeconds[sample % kRecent] = SecondsAt(sample);
  }
  m_lastSeconds = SecondsAt(m_fed - 1);
  m_counts = {};
  m_seconds = {};
  m_spanStart = m_fed;
}

bool ChargeAnalyser::StartsCharge(std::size_t sample) const {
  if (sample == 0) return true;
  const int step = CountAt(sample - 1) - CountAt(sample);
  const bool fellAtOnce = step >= kFallCounts;
  const bool paused = SecondsAt(sample) - SecondsAt(sample - 1) >= rules::kPauseSeconds;
  if (!fellAtOnce && !paused) return false;
  // One wild reading on either side is no change of battery: the middle of three must fall too.
  const int before = sample >= 3
                         ? MiddleOf(CountAt(sample - 3), CountAt(sample - 2), CountAt(sample - 1))
                         : CountAt(sample - 1);
  const int after = MiddleOf(CountAt(sample), CountAt(sample + 1), CountAt(sample + 2));
  const double fallVolts = (before - after) * kMillivoltsPerCount / 1000.0;
  return (fellAtOnce && fallVolts >= rules::kNewChargeFallVolts) ||
         (paused && fallVolts >= rules::kPauseFallVolts);
}

void ChargeAnalyser::Commit(std::size_t end) {
  while (m_decided < end) {
    if (m_charges.empty() || StartsCharge(m_decided)) {
      m_charges.emplace_back(m_decided + 1, SecondsAt(m_decided), m_peakDrop);
    }
    std::size_t runEnd = m_decided + 1;
    // Most readings are far from any change of battery: those of the span being fed are passed
    // over a few comparisons at a time, and only the rest are looked at closely.
    while (runEnd < end) {
      if (runEnd > m_spanStart) {
        const std::int16_t* counts = m_counts.data();
        const double* seconds = m_seconds.empty() ? nullptr : m_seconds.data();
        std::size_t at = runEnd - m_spanStart;
        const std::size_t last = end - m_spanStart;
        while (at + kScanned <= last &&
               !MayStartCharge(counts + at, seconds ? seconds + at : nullptr)) {
          at += kScanned;
        }
        while (at < last && counts[at - 1] - counts[at] < kFallCounts &&
               !(seconds && seconds[at] - seconds[at - 1] >= rules::kPauseSeconds)) {
          ++at;
        }
        runEnd = at + m_spanStart;
        if (runEnd == end) break;
      }
      if (StartsCharge(runEnd)) break;
      ++runEnd;
    }
    Judge(m_decided, runEnd);
    m_decided = runEnd;
  }
}

void ChargeAnalyser::Judge(std::size_t begin, std::size_t end) {
  ChargeJudge& judge = m_charges.back();
  // The readings of an earlier span, one at a time (two at most), then the rest where they lie.
  for (; begin < end && begin < m_spanStart; ++begin) {
    const std::int16_t count = CountAt(begin);
    const double seconds = SecondsAt(begin);
    judge.Add({&count, 1}, {&seconds, 1});
  }
  if (begin == end) return;
  const std::size_t offset = begin - m_spanStart;
  judge.Add(m_counts.subspan(offset, end - begin),
            m_seconds.empty() ? m_seconds : m_seconds.subspan(offset, end - begin));
}

ChargeFigures ChargeAnalyser::Figures(std::size_t charge) const {
  const bool last = charge + 1 == m_charges.size();
  const std::size_t lastSample = last ? m_fed : m_charges[charge + 1].FirstSample() - 1;
  return m_charges[charge].Figures(lastSample,
                                   last ? m_lastSeconds : m_charges[charge].LastSeconds());
}

std::vector<ChargeFigures> ChargeAnalyser::AllFigures() const {
  std::vector<ChargeFigures> figures;
  figures.reserve(m_charges.size());
  for (std::size_t charge = 0; charge < m_charges.size(); ++charge) {
    figures.push_back(Figures(charge));
  }
  return figures;
}

}  // namespace ampelon
