#pragma once

#include <string>

namespace ampelon {

class Chart;
class Dialogs;
class SettingsStore;

// The Options commands that move the voltage window or set its height. Each one that changes
// the window relabels the axis and redraws the chart at once.
class VoltageWindowCommands {
 public:
  // All references must outlive the commands. `title` heads the input and message boxes.
  VoltageWindowCommands(Chart& chart, SettingsStore& settings, Dialogs& dialogs, std::string title);

  // Moves the window up by 0.1 V while its top lies below 2.399 V.
  void ShiftScaleUp();
  // Moves the window down by 0.1 V while its bottom lies above 0.101 V.
  void ShiftScaleDown();
  // Asks for a height of 0.1 to 0.9 V ("Wrong entry!" for anything else, nothing for an empty
  // answer), stores the height as "Range" in every case and puts the window back to its start,
  // top at 1.3 V.
  void ChangeVoltageRange();

 private:
  void Shift(double volts);

  Chart& m_chart;
  SettingsStore& m_settings;
  Dialogs& m_dialogs;
  std::string m_title;
};

}  // namespace ampelon
