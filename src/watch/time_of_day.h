#pragma once

#include <string>

namespace ampelon {

// The local time of day, only for showing a person when something happened.
class TimeOfDay {
 public:
  virtual ~TimeOfDay() = default;
  // The local time `secondsAgo` seconds before now, as hours and minutes: "14:05".
  virtual std::string TextSecondsAgo(double secondsAgo) = 0;
};

}  // namespace ampelon
