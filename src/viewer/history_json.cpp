#include "viewer/history_json.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>

#include <nlohmann/json.hpp>

#include "viewer/charge_registration.h"

namespace ampelon {
namespace {

using Json = nlohmann::ordered_json;

Json Rounded(std::optional<double> value, int decimals) {
  if (!value || !std::isfinite(*value)) return nullptr;
  const double scale = std::pow(10.0, decimals);
  return std::round(*value * scale) / scale;
}

Json Whole(std::optional<int> value) {
  if (!value) return nullptr;
  return *value;
}

Json Text(const std::string& text) {
  if (text.empty()) return nullptr;
  return text;
}

Json Date(std::int64_t unixSeconds) {
  if (unixSeconds == 0) return nullptr;
  return UtcDateText(unixSeconds);
}

}  // namespace

std::string UtcDateText(std::int64_t unixSeconds) {
  using namespace std::chrono;
  const sys_seconds moment{seconds{unixSeconds}};
  const sys_days day = floor<days>(moment);
  const year_month_day date{day};
  const hh_mm_ss<seconds> time{moment - day};
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02ldZ",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<long>(time.hours().count()),
                static_cast<long>(time.minutes().count()),
                static_cast<long>(time.seconds().count()));
  return text;
}

std::string BatteriesJson(const std::vector<BatterySummary>& batteries) {
  Json list = Json::array();
  for (const BatterySummary& battery : batteries) {
    list.push_back({{"name", battery.name},
                    {"chemistry", Text(std::string(ChemistryName(battery.chemistry)))},
                    {"charges", battery.charges},
                    {"last_charged", Date(battery.lastCharged)},
                    {"judgement", battery.judgement}});
  }
  return Json{{"batteries", std::move(list)}}.dump();
}

std::string BatteryChargesJson(const std::string& battery, const std::string& judgement,
                               const std::vector<ChargeRecord>& charges) {
  Json list = Json::array();
  for (const ChargeRecord& charge : charges) {
    const ChargeFigures& figures = charge.figures;
    const BatteryDetails& details = charge.details;
    Json notes = Json::array();
    for (const PinnedNote& note : charge.notes) {
      notes.push_back(
          {{"sample", note.sample}, {"seconds", Rounded(note.seconds, 3)}, {"text", note.text}});
    }
    list.push_back({
        {"path", charge.path},
        {"charge_index", charge.chargeIndex},
        {"recorded_at", Date(charge.recordedAt)},
        {"duration_seconds", Rounded(figures.durationSeconds, 3)},
        {"start_volts", Rounded(figures.startVolts, 4)},
        {"peak_volts", Rounded(figures.peakVolts, 4)},
        {"time_to_peak_seconds", Rounded(figures.peakSeconds, 3)},
        {"drop_mv", Rounded(figures.dropMillivolts, 2)},
        {"end", std::string(ChargeEndName(figures.end))},
        {"chemistry", Text(std::string(ChemistryName(details.chemistry)))},
        {"rated_mah", Whole(details.ratedMilliampHours)},
        {"current_ma", Whole(details.currentMilliamps)},
        {"charge_in_mah", Rounded(ChargePutInMilliampHours(figures, details.currentMilliamps), 0)},
        {"notes", Text(details.notes)},
        {"pinned_notes", std::move(notes)},
    });
  }
  return Json{{"battery", battery}, {"judgement", judgement}, {"charges", std::move(list)}}.dump();
}

}  // namespace ampelon
