#pragma once

#include <optional>
#include <vector>

#include <QString>

class QWidget;

namespace ampelon {

// A file shown without times of its own, and the seconds per reading given for it.
struct IntervalChoice {
  QString fileName;
  std::optional<double> seconds;
};

// View > Reading Interval…: asks the seconds per reading of each file, none taking the interval
// away. False, changing nothing, when the user cancels.
bool AskReadingIntervals(QWidget* parent, std::vector<IntervalChoice>& choices);

}  // namespace ampelon
