#include "viewer/summary_json.h"

#include <cmath>
#include <optional>

#include <nlohmann/json.hpp>

namespace ampelon {
namespace {

// Rounded to what the readings can tell (a count is 0.6 mV), so that no float noise follows
// the figures; null where not known.
nlohmann::ordered_json Rounded(std::optional<double> value, int decimals) {
  if (!value || !std::isfinite(*value)) return nullptr;
  const double scale = std::pow(10.0, decimals);
  return std::round(*value * scale) / scale;
}

nlohmann::ordered_json Sample(std::optional<std::size_t> sample) {
  if (!sample) return nullptr;
  return *sample;
}

}  // namespace

std::string SummaryJson(std::size_t readings, bool timesKnown,
                        const std::vector<ChargeFigures>& charges) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const ChargeFigures& charge : charges) {
    list.push_back({
        {"first_sample", charge.firstSample},
        {"last_sample", charge.lastSample},
        {"start_volts", Rounded(charge.startVolts, 4)},
        {"peak_volts", Rounded(charge.peakVolts, 4)},
        {"peak_sample", charge.peakSample},
        {"peak_seconds", Rounded(charge.peakSeconds, 3)},
        {"end", std::string(ChargeEndName(charge.end))},
        {"end_sample", Sample(charge.endSample)},
        {"end_seconds", Rounded(charge.endSeconds, 3)},
        {"drop_mv", Rounded(charge.dropMillivolts, 2)},
        {"duration_seconds", Rounded(charge.durationSeconds, 3)},
        {"slope_mv_per_min", Rounded(charge.slopeMillivoltsPerMinute, 3)},
        {"noise_mv", Rounded(charge.noiseMillivolts, 2)},
    });
  }
  const nlohmann::ordered_json summary = {
      {"readings", readings}, {"times_known", timesKnown}, {"charges", std::move(list)}};
  return summary.dump();
}

}  // namespace ampelon
