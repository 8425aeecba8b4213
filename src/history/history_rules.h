#pragma once

#include <cstddef>

namespace ampelon::history_rules {

// The signs by which a battery's run of charges is judged, in one place. Each compares the
// median of its first charges with the median of its latest ones at the same charge current.

// Fewer charges than this say nothing: one odd charge (a cell put in half full) would decide.
inline constexpr std::size_t kLeastCharges = 3;
// How many charges at each end are compared, at most; with fewer than twice as many charges the
// first ones are a smaller share, so that the latest ones are never among them.
inline constexpr std::size_t kComparedCharges = 3;

// At one current, the time to the peak measures what a cell takes in. Cells count as worn out
// at 80 % of their rated capacity (the endurance tests of the NiMH and NiCd standards), so a
// time to peak a fifth shorter than when the cell was new is the sign of lost capacity.
inline constexpr double kShorterTimeToPeakPercent = 20.0;

// The drop after the peak (-dV) is what chargers end on; an ageing cell shows it less. A drop
// that was clear at first (at least the 5 mV chargers look for) and is now at most half of it
// has faded.
inline constexpr double kClearDropMillivolts = 5.0;
inline constexpr double kFadedDropShare = 0.5;

// A cell whose internal resistance grows peaks higher at the same current: a new NiMH cell has
// some 20-30 milliohms, a worn one twice that, and 15 milliohms more at a 2 A charge lift the
// peak by 30 mV.
inline constexpr double kPeakClimbMillivolts = 30.0;

}  // namespace ampelon::history_rules
