#include "chart/voltage_window_commands.h"

#include <array>
#include <utility>

#include "chart/chart.h"
#include "common/dialogs.h"
#include "common/leading_number.h"
#include "common/number_text.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace ampelon {
namespace {

constexpr float kLowestBottom = 0.101f;
constexpr float kHighestTop = 2.399f;
constexpr double kStep = 0.1;
constexpr std::array<const char*, 9> kAcceptedHeights = {"0.1", "0.2", "0.3", "0.4", "0.5",
                                                         "0.6", "0.7", "0.8", "0.9"};

// ".3" becomes "0.3"; other texts stay as they are.
std::string WithLeadingZero(std::string text) {
  if (text.starts_with('.')) text.insert(0, 1, '0');
  return text;
}

}  // namespace

VoltageWindowCommands::VoltageWindowCommands(Chart& chart, SettingsStore& settings,
                                             Dialogs& dialogs, std::string title)
    : m_chart(chart), m_settings(settings), m_dialogs(dialogs), m_title(std::move(title)) {}

void VoltageWindowCommands::ShiftScaleUp() {
  if (m_chart.Window().upperVolts < kHighestTop) Shift(kStep);
}

void VoltageWindowCommands::ShiftScaleDown() {
  if (m_chart.Window().lowerVolts > kLowestBottom) Shift(-kStep);
}

void VoltageWindowCommands::Shift(double volts) {
  VoltageWindow window = m_chart.Window();
  window.lowerVolts = static_cast<float>(window.lowerVolts + volts);
  window.upperVolts = static_cast<float>(window.upperVolts + volts);
  m_chart.SetWindow(window);
  m_chart.UpdateAxisLabels();
  m_chart.RefreshChart();
}

void VoltageWindowCommands::ChangeVoltageRange() {
  float range = m_chart.Window().rangeVolts;
  const std::string answer = WithLeadingZero(m_dialogs.InputBox(
      "Please enter new voltage range [0.1 - 0.9].", m_title, WithLeadingZero(NumberText(range))));
  if (!answer.empty()) {
    bool accepted = false;
    for (const char* height : kAcceptedHeights) accepted = accepted || answer == height;
    if (accepted) {
      range = static_cast<float>(LeadingNumber(answer));
    } else {
      m_dialogs.MessageBox("Wrong entry!", m_title);
    }
  }
  // Written back and the window reset even when the answer was empty or wrong.
  m_settings.WriteSetting(settings::kRange, NumberText(range));
  m_chart.SetWindow(VoltageWindow::AtStart(range));
  m_chart.UpdateAxisLabels();
  m_chart.RefreshChart();
}

}  // namespace ampelon
