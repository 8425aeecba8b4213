#pragma once

#include <string>

namespace ampelon {

// A time as a clock shows it, the one way the viewer writes times: "1:52:40" from an hour on,
// "52:40" below it, "0:07" below a minute, with `decimals` places (0 to 3) of the seconds after
// a "."; a "-" before a negative time. The seconds are rounded once, so 59.96 at one place is
// "1:00.0". Meant for times below kTimesEndAt.
std::string ClockText(double seconds, int decimals);

}  // namespace ampelon
