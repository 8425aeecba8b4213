#pragma once

#include <cstdint>
#include <string>

#include "history/battery_details.h"

namespace ampelon {

// One battery in the library: its latest chemistry, how often and when it was last charged, and
// the one-line judgement of its charges.
struct BatterySummary {
  std::string name;
  Chemistry chemistry = Chemistry::kUnknown;
  int charges = 0;
  std::int64_t lastCharged = 0;  // Unix seconds
  std::string judgement;
};

}  // namespace ampelon
