#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <QString>

namespace ampelon {

class SlopeCurve;

// What the analysis adds to the plot of a charge: readings marked and labelled (the peak, the
// point where the end was found), the stretch of the chosen charge in a log of several, and
// the slope curve (drawn while View > Slope is on), and the user's notes pinned to readings,
// drawn as flags.
struct PlotOverlay {
  struct Mark {
    std::size_t reading = 0;  // in the charge's counts, from 0
    double volts = 0;
    QString label;
    bool end = false;  // the end found; else the peak
  };
  std::vector<Mark> marks;
  struct Flag {
    std::size_t reading = 0;  // in the charge's counts, from 0
    QString text;
    std::int64_t noteId = 0;
  };
  std::vector<Flag> flags;
  std::optional<std::pair<std::size_t, std::size_t>> span;  // readings [first, last]
  QString spanLabel;
  const SlopeCurve* slope = nullptr;  // not owned
};

}  // namespace ampelon
