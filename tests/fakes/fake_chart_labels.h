#pragma once

#include <array>

#include "chart/chart.h"
#include "fakes/fake_label.h"

namespace ampelon::testing {

// The chart's nine labels wired to fakes: seven axis labels (bottom first) and two read-outs.
inline ChartLabels WireChartLabels(std::array<FakeLabel, 7>& axis, FakeLabel& currentValue,
                                   FakeLabel& chargeTime) {
  ChartLabels labels;
  for (std::size_t k = 0; k < axis.size(); ++k) labels.axis[k] = &axis[k];
  labels.currentValue = &currentValue;
  labels.chargeTime = &chargeTime;
  return labels;
}

}  // namespace ampelon::testing
