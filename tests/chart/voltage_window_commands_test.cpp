#include "chart/voltage_window_commands.h"

#include <gtest/gtest.h>

#include <array>

#include "chart/chart.h"
#include "common/number_text.h"
#include "fakes/fake_canvas.h"
#include "fakes/fake_chart_labels.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_label.h"
#include "fakes/fake_settings_backend.h"
#include "fakes/fake_window_geometry.h"
#include "measurement/sample_store.h"
#include "settings/settings_store.h"

namespace ampelon {
namespace {

using namespace ampelon::testing;

class VoltageWindowCommandsTest : public ::testing::Test {
 protected:
  VoltageWindowCommandsTest() {
    const ChartLabels labels = WireChartLabels(m_axis, m_value, m_time);
    m_chart.emplace(m_store, m_canvas, m_geometry, labels);
    m_chart->SetWindow(VoltageWindow::AtStart(0.3f));
    m_store.AppendSample(246);  // 0.15 V: too low for the window to follow it
  }

  const VoltageWindow& Window() const { return m_chart->Window(); }
  int Redraws() const { return m_canvas.Clears(); }

  FakeClock m_clock{36000.0f};
  SampleStore m_store{m_clock};
  FakeCanvas m_canvas;
  FakeWindowGeometry m_geometry;
  std::array<FakeLabel, 7> m_axis;
  FakeLabel m_value;
  FakeLabel m_time;
  FakeSettingsBackend m_backend;
  SettingsStore m_settings{m_backend};
  FakeDialogs m_dialogs;
  std::optional<Chart> m_chart;
  std::optional<VoltageWindowCommands> m_commands;

  VoltageWindowCommands& Commands() {
    if (!m_commands) m_commands.emplace(*m_chart, m_settings, m_dialogs, "Ampelon");
    return *m_commands;
  }
};

TEST_F(VoltageWindowCommandsTest, NineShiftsDownReachTheBottomAndTheTenthDoesNothing) {
  for (int shift = 0; shift < 9; ++shift) Commands().ShiftScaleDown();
  EXPECT_FLOAT_EQ(Window().lowerVolts, 0.09999987f);
  EXPECT_EQ(m_axis[0].Text(), "0.10V");
  EXPECT_EQ(Redraws(), 9);
  const int labelWrites = m_axis[0].TextSets();
  Commands().ShiftScaleDown();
  EXPECT_FLOAT_EQ(Window().lowerVolts, 0.09999987f);
  EXPECT_EQ(Redraws(), 9);
  EXPECT_EQ(m_axis[0].TextSets(), labelWrites);
}

TEST_F(VoltageWindowCommandsTest, ElevenShiftsUpReachTheTopAndTheTwelfthDoesNothing) {
  for (int shift = 0; shift < 11; ++shift) Commands().ShiftScaleUp();
  EXPECT_FLOAT_EQ(Window().upperVolts, 2.3999996f);
  EXPECT_EQ(Redraws(), 11);
  Commands().ShiftScaleUp();
  EXPECT_FLOAT_EQ(Window().upperVolts, 2.3999996f);
  EXPECT_EQ(Redraws(), 11);
}

TEST_F(VoltageWindowCommandsTest, RangeAnswers) {
  const struct {
    const char* answer;
    float range;
    bool wrongEntry;
  } cases[] = {{".5", 0.5f, false},  {"0.5", 0.5f, false}, {"0.9", 0.9f, false},
               {"0.50", 0.3f, true}, {"1", 0.3f, true},    {".55", 0.3f, true},
               {" 0.5", 0.3f, true}, {"", 0.3f, false}};
  for (const auto& c : cases) {
    m_chart->SetWindow(VoltageWindow::AtStart(0.3f));
    Commands().ShiftScaleDown();  // the command puts the window back to its start in any case
    const std::size_t messages = m_dialogs.Messages().size();
    m_dialogs.Answer(c.answer);
    Commands().ChangeVoltageRange();
    EXPECT_EQ(m_dialogs.InputBoxes().back().text, "Please enter new voltage range [0.1 - 0.9].");
    EXPECT_EQ(m_dialogs.InputBoxes().back().proposal, "0.3");
    EXPECT_EQ(m_dialogs.Messages().size() - messages, c.wrongEntry ? 1u : 0u) << c.answer;
    EXPECT_EQ(Window().rangeVolts, c.range) << c.answer;
    EXPECT_EQ(Window().upperVolts, 1.3f) << c.answer;
    EXPECT_EQ(m_backend.Text("Range"), NumberText(c.range)) << c.answer;
  }
  EXPECT_EQ(m_dialogs.Messages().back().text, "Wrong entry!");
  EXPECT_EQ(m_dialogs.Messages().back().title, "Ampelon");
  m_dialogs.Answer(".5");
  Commands().ChangeVoltageRange();
  EXPECT_EQ(m_backend.Text("Range"), ".5");
}

}  // namespace
}  // namespace ampelon
