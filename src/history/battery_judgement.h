#pragma once

#include <string>
#include <vector>

#include "history/charge_record.h"

namespace ampelon {

// The one-line judgement of a battery's charges, given in date order: its recent charges
// against its first ones at the same charge current (history_rules.h holds the thresholds).
std::string JudgeBattery(const std::vector<ChargeRecord>& charges);

// The judgement of the charges kept under `battery`; those of no named battery ("") may be of
// many cells, so they are not judged: the line says how to name their battery instead.
std::string JudgeBatteryNamed(const std::string& battery, const std::vector<ChargeRecord>& charges);

}  // namespace ampelon
