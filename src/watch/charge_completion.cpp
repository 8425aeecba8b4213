#include "watch/charge_completion.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/charge_rules.h"

namespace ampelon {
namespace {

std::string VoltsText(double volts) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, volts, std::chars_format::fixed, 3);
  return std::string(text, written.ptr) + " V";
}

// "52 min", "1 h 52 min", "2 h 05 min": whole minutes, as a charger's display counts them.
std::string DurationText(double seconds) {
  const auto minutes = static_cast<long long>(std::max(0.0, seconds) / 60.0);
  if (minutes < 60) return std::to_string(minutes) + " min";
  const long long inHour = minutes % 60;
  return std::to_string(minutes / 60) + " h " + (inHour < 10 ? "0" : "") + std::to_string(inHour) +
         " min";
}

// When a moment of the charge came: its time where known, its reading where not.
std::string MomentText(std::optional<double> seconds, std::size_t sample) {
  return seconds ? "after " + DurationText(*seconds) : "at reading " + std::to_string(sample);
}

}  // namespace

std::string CompletionLine(const ChargeFigures& figures) {
  if (figures.end == ChargeEnd::kPlateau) {
    return "The voltage has not risen for " + DurationText(charge_rules::kPlateauSeconds) +
           ", at " + VoltsText(figures.peakVolts) + " " +
           MomentText(figures.endSeconds, figures.endSample.value_or(figures.lastSample)) + ".";
  }
  return "The voltage peaked at " + VoltsText(figures.peakVolts) + " " +
         MomentText(figures.peakSeconds, figures.peakSample) + " and has fallen " +
         std::to_string(std::lround(figures.dropMillivolts)) + " mV since.";
}

ChargeCompletion::ChargeCompletion(double timeScale) : m_timeScale(timeScale) {}

void ChargeCompletion::Restart(std::span<const std::int16_t> readings,
                               std::span<const double> times) {
  m_analyser = ChargeAnalyser();
  m_loaded = readings.size();
  m_next = 0;
  m_line.clear();
  Update(readings, times);
}

std::optional<std::string> ChargeCompletion::Update(std::span<const std::int16_t> readings,
                                                    std::span<const double> times) {
  const std::size_t fed = m_analyser.ReadingsFed();
  if (readings.size() < fed) {
    // Fewer readings than were judged: the store was emptied without a word.
    Restart(readings, times);
    return std::nullopt;
  }
  Feed(readings.subspan(fed),
       times.size() == readings.size() ? times.subspan(fed) : std::span<const double>());

  std::optional<std::string> told;
  const std::size_t charges = m_analyser.ChargeCount();
  while (m_next < charges) {
    if (m_analyser.End(m_next) == ChargeEnd::kRising) {
      // The latest charge may still end; one that another followed never will.
      if (m_next + 1 == charges) break;
      ++m_next;
      continue;
    }
    const ChargeFigures figures = m_analyser.Figures(m_next);
    if (figures.endSample.value_or(0) > m_loaded) {
      told = CompletionLine(figures);
      m_line = *told;
      m_lineCharge = m_next;
    }
    ++m_next;
  }
  if (!m_line.empty() && m_lineCharge + 1 != charges) m_line.clear();
  return told;
}

void ChargeCompletion::Feed(std::span<const std::int16_t> readings, std::span<const double> times) {
  if (m_timeScale == 1.0 || times.empty()) {
    m_analyser.Feed(readings, times);
    return;
  }
  // An unknown time (below zero) stays unknown.
  m_scaled.assign(times.begin(), times.end());
  for (double& seconds : m_scaled) seconds *= m_timeScale;
  m_analyser.Feed(readings, m_scaled);
}

}  // namespace ampelon
