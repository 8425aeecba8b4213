#pragma once

#include <cstddef>

namespace ampelon::charge_rules {

// The rules by which a charge is judged from its voltage alone, in one place. A charger decides
// the end of a NiMH or NiCd charge in its firmware from the same signs; the numbers say where
// each comes from.

// A battery taken out and another put in: the voltage falls at once by more than any charge
// curve moves between two readings (a cell's own fall after its peak is millivolts over minutes).
inline constexpr double kNewChargeFallVolts = 0.1;
// A pause this long followed by a fall is a new charge too: a charger that stopped and started
// again, or a cell swapped while nothing was recorded.
inline constexpr double kPauseSeconds = 300.0;
inline constexpr double kPauseFallVolts = 0.005;

// The hold-off: chargers ignore the first minutes, where a cell stored for long can rise and
// fall by tens of millivolts (a false peak). No peak and no end are sought in them.
inline constexpr double kHoldOffSeconds = 600.0;
// The same hold-off where the readings' times are not known (2 s a reading).
inline constexpr std::size_t kHoldOffReadings = 300;

// -dV: the fall below the peak that ends a fast charge. Data sheets and charger makers give
// about 5 mV per cell for NiMH (NiCd shows 10-15 mV, so it passes the same threshold sooner).
inline constexpr double kPeakDropMillivolts = 5.0;

// Zero dV, a flat top: after the final climb, no new high by more than kNewHighMillivolts for
// kPlateauSeconds while the voltage stays within kPlateauBandMillivolts of its peak. Chargers
// that terminate on a flat top wait some 10-20 minutes; a missed plateau costs nothing, as the
// charger itself ends the charge, so the rule is the cautious one.
inline constexpr double kNewHighMillivolts = 0.5;
inline constexpr double kPlateauSeconds = 900.0;
inline constexpr double kPlateauBandMillivolts = 3.0;
// The final climb that must lead to a flat top: over the kClimbSeconds before it, a slope of at
// least kClimbFactor times the mean slope of the middle of the charge, and at least
// kClimbLeastMillivoltsPerMinute. A slow charge that is flat (or dips) for tens of minutes in its
// middle has no such climb, so it is never taken for full.
inline constexpr double kClimbSeconds = 600.0;
inline constexpr double kClimbFactor = 3.0;
inline constexpr double kClimbLeastMillivoltsPerMinute = 0.3;

// The smoothed curve: readings in blocks of kBlockReadings, each block's mean without its
// highest and lowest reading, so that a single wild reading moves nothing. A converter's noise
// of 1-2 counts (0.6 mV each) leaves a few tenths of a millivolt on it. Longer smoothing would
// lag: a charger that ends its charge 5 mV after the peak can stop within two minutes.
inline constexpr int kBlockReadings = 16;
// A reading this far from the smoothed curve is a wild one: it counts this much in the noise.
inline constexpr double kWildReadingMillivolts = 10.0;

// Slopes over minutes: the mean of this many minute means at each end.
inline constexpr int kSlopeWindowMinutes = 5;
// New highs are looked for in the mean of this many minute means.
inline constexpr int kHighWindowMinutes = 3;
// The middle of a charge, for its mean slope: from this share of its time to the next.
inline constexpr double kMiddleFrom = 0.25;
inline constexpr double kMiddleTo = 0.75;

}  // namespace ampelon::charge_rules
