#pragma once

#include "watch/time_of_day.h"

namespace ampelon {

// The computer's clock and time zone.
class SystemTimeOfDay final : public TimeOfDay {
 public:
  std::string TextSecondsAgo(double secondsAgo) override;
};

}  // namespace ampelon
