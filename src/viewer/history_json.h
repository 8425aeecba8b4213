#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/battery_summary.h"
#include "history/charge_record.h"

namespace ampelon {

// --history --json: the charge library for scripts, one JSON object. Dates are UTC in ISO 8601
// ("2026-05-01T14:02:00Z"), numbers in volts, seconds, millivolts and mAh, null where not known.
// Every battery: {"batteries": [{"name", "chemistry", "charges", "last_charged", "judgement"}]}
std::string BatteriesJson(const std::vector<BatterySummary>& batteries);
// One battery's charges by date: {"battery", "judgement", "charges": [{"path", "charge_index",
// "recorded_at", "duration_seconds", "start_volts", "peak_volts", "time_to_peak_seconds",
// "drop_mv", "end", "chemistry", "rated_mah", "current_ma", "charge_in_mah", "notes",
// "pinned_notes": [{"sample", "seconds", "text"}]}]}
std::string BatteryChargesJson(const std::string& battery, const std::string& judgement,
                               const std::vector<ChargeRecord>& charges);

// "2026-05-01T14:02:00Z".
std::string UtcDateText(std::int64_t unixSeconds);

}  // namespace ampelon
