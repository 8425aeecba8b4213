#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/charge_analyser.h"

namespace ampelon {

// Judges the running charge from the stored readings as they arrive (ChargeAnalyser) and finds
// the moment a charge is complete: its voltage passed the peak (-dV) or stayed flat after the
// final climb. Each charge is complete once; a battery changed starts the judgement over.
class ChargeCompletion {
 public:
  // The readings' times are multiplied by `timeScale` before they are judged: more than 1 only
  // where a simulated charger runs faster than time.
  explicit ChargeCompletion(double timeScale = 1.0);

  // Every reading stored so far and their times (SampleStore::Samples() and Times()); only those
  // after the readings given before are judged, so an event costs what its readings cost. The
  // line that tells of a charge just found complete; nothing otherwise.
  std::optional<std::string> Update(std::span<const std::int16_t> readings,
                                    std::span<const double> times);
  // The store holds other readings now (a load): they are judged from the start, silently. An
  // end found in them is never told; the charge goes on and live readings can still end it.
  void Restart(std::span<const std::int16_t> readings, std::span<const double> times);
  // The line told of the latest charge; empty before its end, and once another charge began.
  const std::string& Line() const { return m_line; }

 private:
  void Feed(std::span<const std::int16_t> readings, std::span<const double> times);

  double m_timeScale;
  ChargeAnalyser m_analyser;
  std::vector<double> m_scaled;  // the times of the readings being fed, scaled
  std::size_t m_loaded = 0;      // readings that came with a load, not live
  std::size_t m_next = 0;        // the first charge whose end was not yet looked at
  std::string m_line;
  std::size_t m_lineCharge = 0;
};

// The line for a complete charge: "The voltage peaked at 1.482 V after 1 h 52 min and has
// fallen 6 mV since." or "The voltage has not risen for 15 min, at 1.460 V after 2 h 05 min."
std::string CompletionLine(const ChargeFigures& figures);

}  // namespace ampelon
