#include "viewer/report_content.h"

#include <cmath>
#include <string_view>

#include "viewer/clock_text.h"

namespace ampelon {

std::vector<std::string> ReportDetailsLines(const BatteryDetails& details,
                                            const ChargeFigures& figures) {
  std::vector<std::string> lines;
  if (!details.battery.empty()) lines.push_back("Battery: " + details.battery);
  if (details.chemistry != Chemistry::kUnknown) {
    lines.push_back("Chemistry: " + std::string(ChemistryName(details.chemistry)));
  }
  if (details.ratedMilliampHours) {
    lines.push_back("Rated capacity: " + std::to_string(*details.ratedMilliampHours) + " mAh");
  }
  if (details.currentMilliamps) {
    lines.push_back("Charge current: " + std::to_string(*details.currentMilliamps) + " mA");
    // What went in at that current until the peak: not what the cell holds, which the voltage
    // cannot tell.
    if (figures.peakSeconds) {
      const double milliampHours = *details.currentMilliamps * *figures.peakSeconds / 3600.0;
      lines.push_back(
          "Charge put in up to the peak: " + std::to_string(std::lround(milliampHours)) + " mAh (" +
          std::to_string(*details.currentMilliamps) + " mA for " +
          ClockText(*figures.peakSeconds, 0) + ")");
    }
  }
  if (!details.notes.empty()) lines.push_back("Notes: " + details.notes);
  if (lines.empty()) lines.push_back("No battery details given");
  return lines;
}

std::vector<std::string> ReportNoteLines(const std::vector<PinnedNote>& notes) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const PinnedNote& note = notes[i];
    const std::string when =
        note.seconds ? ClockText(*note.seconds, 0) : "sample " + std::to_string(note.sample);
    lines.push_back(std::to_string(i + 1) + "  " + when + "  " + note.text);
  }
  return lines;
}

std::vector<TrendSeries> BatteryTrend(const std::vector<ChargeRecord>& charges,
                                      std::int64_t currentId) {
  std::vector<TrendSeries> trend = {
      {"Peak voltage (V)", {}, {}},
      {"Time to peak (min)", {}, {}},
      {"Drop after the peak (mV)", {}, {}},
  };
  const auto add = [&](TrendSeries& series, const ChargeRecord& charge, double value) {
    if (charge.id == currentId) series.current = series.points.size();
    series.points.push_back({charge.recordedAt, value});
  };
  for (const ChargeRecord& charge : charges) {
    add(trend[0], charge, charge.figures.peakVolts);
    if (charge.figures.peakSeconds) add(trend[1], charge, *charge.figures.peakSeconds / 60.0);
    add(trend[2], charge, charge.figures.dropMillivolts);
  }
  return trend;
}

}  // namespace ampelon
