#include "viewer/peak_tracker.h"

#include <algorithm>
#include <span>

namespace ampelon {

void PeakTracker::Forget() { m_analyser.reset(); }

std::optional<std::size_t> PeakTracker::PeakOf(const Charge& charge) {
  const bool times = !charge.seconds.empty();
  // Readings whose times are still to come wait for them.
  const std::size_t size =
      times ? std::min(charge.counts.size(), charge.seconds.size()) : charge.counts.size();
  // Times that came (or went) since change every judgement: the analysis starts over.
  if (m_analyser && (m_analyser->ReadingsFed() > size || m_timesFed != times)) Forget();
  if (!m_analyser) {
    m_analyser.emplace();
    m_timesFed = times;
  }
  const std::size_t fed = m_analyser->ReadingsFed();
  const std::span<const std::int16_t> counts(charge.counts);
  const std::span<const double> seconds(charge.seconds);
  m_analyser->Feed(counts.subspan(fed, size - fed),
                   times ? seconds.subspan(fed, size - fed) : seconds);
  std::optional<ChargeFigures> longest;
  for (const ChargeFigures& figures : m_analyser->AllFigures()) {
    if (!longest ||
        figures.lastSample - figures.firstSample > longest->lastSample - longest->firstSample) {
      longest = figures;
    }
  }
  if (!longest || longest->peakSample == 0) return std::nullopt;
  return longest->peakSample - 1;
}

}  // namespace ampelon
