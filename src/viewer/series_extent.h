#pragma once

#include <initializer_list>
#include <optional>

#include "viewer/plot_series.h"
#include "viewer/plot_view.h"

namespace ampelon {

// From the first to the last x of the series given (null ones left out); nothing when all are
// empty.
std::optional<AxisRange> XExtent(std::initializer_list<const PlotSeries*> series);

// The volts range a plot of `x` gives the series: the readings in view fitted with a little room;
// a whole converter's range when there are none.
AxisRange VoltsInView(std::initializer_list<const PlotSeries*> series, AxisRange x);

}  // namespace ampelon
