#pragma once

#include <cstddef>
#include <optional>

#include "analysis/charge_analyser.h"
#include "viewer/charge.h"

namespace ampelon {

// Where a charge peaks, as the analysis finds it, kept up to date while the charge grows: each
// call feeds the analysis only the readings added since the last.
class PeakTracker {
 public:
  // The reading (from 0) at the peak of the longest charge in `charge` (a log may hold several);
  // nothing before the analysis has one. A charge with fewer readings than the last call saw is
  // read afresh; Forget() makes the next call do so for any.
  std::optional<std::size_t> PeakOf(const Charge& charge);
  void Forget();

 private:
  std::optional<ChargeAnalyser> m_analyser;
  bool m_timesFed = false;  // the readings fed so far came with their times
};

}  // namespace ampelon
