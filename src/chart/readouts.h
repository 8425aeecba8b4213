#pragma once

#include <cstdint>
#include <string>

namespace ampelon {

// The current-value read-out: the first five characters of the volts, "V [", the raw reading,
// "]" ("1.250V [2048]", ".5V [819]").
std::string CurrentValueText(std::int16_t reading);

// The charge-time read-out from whole elapsed seconds: "2 min, 5 sec". Minutes are not carried
// into hours, and the count does not wrap after 9 hours ("600 min, 5 sec").
std::string ChargeTimeText(double elapsedSeconds);

}  // namespace ampelon
