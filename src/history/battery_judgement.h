#pragma once

#include <string>
#include <vector>

#include "history/charge_record.h"

namespace ampelon {

// The one-line judgement of a battery's charges, given in date order: its recent charges
// against its first ones at the same charge current (history_rules.h holds the thresholds).
std::string JudgeBattery(const std::vector<ChargeRecord>& charges);

}  // namespace ampelon
