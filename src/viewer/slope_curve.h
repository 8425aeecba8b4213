#pragma once

#include <cstddef>
#include <cstdint>

#include "viewer/charge.h"
#include "viewer/plot_series.h"

namespace ampelon {

class ChargeAnalyser;

// The smoothed slope of one charge's voltage in millivolts a minute, from the analysis' minute
// means a few minutes apart, as points that the plot draws as it draws the charge: each held as
// a count of hundredths of a millivolt a minute, with its x on either axis. Only where the
// readings' times are known, and only after the charge's hold-off, whose first rise would
// dwarf the slopes that tell how a charge ends. One charge of several: the plot joins its
// points, and a line across the next charge's hold-off would be no slope at all.
class SlopeCurve {
 public:
  // Hundredths of a millivolt a minute: up to 327 mV/min either way, past any charge's.
  static constexpr double kCountsPerMillivoltPerMinute = 100.0;

  // Made again from the minutes of the `index`th charge that `analyser` found in `charge`.
  void Update(const ChargeAnalyser& analyser, const Charge& charge, std::size_t index);
  bool Empty() const { return m_onTime.counts.empty(); }

  // The points with their x in the seconds of `axis` (sample numbers or the charge's times), to
  // be drawn as a PlotSeries on XAxis::kTime.
  const Charge& Points(XAxis axis) const { return axis == XAxis::kTime ? m_onTime : m_onSamples; }

  static double MillivoltsPerMinute(std::int16_t count) {
    return count / kCountsPerMillivoltPerMinute;
  }
  // The volts that a count standing for `millivoltsPerMinute` is drawn at, for the rows of the
  // plot's slope axis.
  static double TracedVolts(double millivoltsPerMinute);

 private:
  Charge m_onTime;
  Charge m_onSamples;
};

}  // namespace ampelon
