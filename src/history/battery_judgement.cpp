#include "history/battery_judgement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

#include "common/number_text.h"
#include "history/history_rules.h"

namespace ampelon {

namespace {

namespace rules = history_rules;

using Charges = std::vector<const ChargeRecord*>;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// The median of a figure over the charges that have it; nothing when none has.
std::optional<double> MedianOf(
    const Charges& charges,
    const std::function<std::optional<double>(const ChargeFigures&)>& figure) {
  std::vector<double> values;
  for (const ChargeRecord* charge : charges) {
    if (const std::optional<double> value = figure(charge->figures)) values.push_back(*value);
  }
  if (values.empty()) return std::nullopt;
  return Median(std::move(values));
}

std::string Whole(double value) { return NumberText(static_cast<long long>(std::lround(value))); }

std::string Volts(double volts) {
  const long millivolts = std::lround(volts * 1000.0);
  char text[32];
  std::snprintf(text, sizeof text, "%ld.%03ld V", millivolts / 1000, millivolts % 1000);
  return text;
}

std::string FirstCharges(std::size_t count) {
  return count == 1 ? "its first charge" : "its first " + std::to_string(count) + " charges";
}

// The charges to judge: those that reached their peak at the latest charge's current, or all of
// them where the latest charge gives none.
Charges Comparable(const std::vector<ChargeRecord>& charges) {
  const std::optional<int> current =
      charges.empty() ? std::nullopt : charges.back().details.currentMilliamps;
  Charges comparable;
  for (const ChargeRecord& charge : charges) {
    if (charge.figures.end == ChargeEnd::kRising) continue;
    if (current && charge.details.currentMilliamps != current) continue;
    comparable.push_back(&charge);
  }
  return comparable;
}

}  // namespace

std::string JudgeBattery(const std::vector<ChargeRecord>& charges) {
  const Charges comparable = Comparable(charges);
  if (comparable.size() < rules::kLeastCharges) return "Not enough charges to judge yet.";
  const std::size_t compared = std::min(rules::kComparedCharges, comparable.size() / 2);
  const Charges first(comparable.begin(), comparable.begin() + compared);
  const Charges latest(
      comparable.end() - std::min(rules::kComparedCharges, comparable.size() - compared),
      comparable.end());
  const std::string since = FirstCharges(first.size());

  const auto timeToPeak = [](const ChargeFigures& f) { return f.peakSeconds; };
  const std::optional<double> firstTime = MedianOf(first, timeToPeak);
  const std::optional<double> latestTime = MedianOf(latest, timeToPeak);
  if (firstTime && latestTime && *firstTime > 0.0) {
    const double shorterPercent = 100.0 * (1.0 - *latestTime / *firstTime);
    if (shorterPercent > rules::kShorterTimeToPeakPercent) {
      return "Time to peak is " + Whole(shorterPercent) + " % shorter than in " + since +
             ": it holds less charge than it did.";
    }
  }

  const auto drop = [](const ChargeFigures& f) -> std::optional<double> {
    return f.dropMillivolts;
  };
  const double firstDrop = *MedianOf(first, drop);
  const double latestDrop = *MedianOf(latest, drop);
  if (firstDrop >= rules::kClearDropMillivolts &&
      latestDrop <= firstDrop * rules::kFadedDropShare) {
    return "The drop after the peak has faded from " + Whole(firstDrop) + " mV to " +
           Whole(latestDrop) + " mV: the cell may be ageing.";
  }

  const auto peak = [](const ChargeFigures& f) -> std::optional<double> { return f.peakVolts; };
  const double firstPeak = *MedianOf(first, peak);
  const double latestPeak = *MedianOf(latest, peak);
  if ((latestPeak - firstPeak) * 1000.0 >= rules::kPeakClimbMillivolts) {
    return "The peak voltage has climbed from " + Volts(firstPeak) + " to " + Volts(latestPeak) +
           ": its internal resistance is growing.";
  }
  return "No clear change since " + since + ".";
}

std::string JudgeBatteryNamed(const std::string& battery,
                              const std::vector<ChargeRecord>& charges) {
  if (battery.empty()) {
    return "These charges are of no named battery: File > Charge Details… names one.";
  }
  return JudgeBattery(charges);
}

}  // namespace ampelon
