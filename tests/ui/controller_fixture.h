#pragma once

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "fakes/fake_canvas.h"
#include "fakes/fake_chart_labels.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_file_dialog.h"
#include "fakes/fake_graph_file_access.h"
#include "fakes/fake_label.h"
#include "fakes/fake_serial_control.h"
#include "fakes/fake_settings_backend.h"
#include "fakes/fake_window_geometry.h"
#include "settings/settings_store.h"
#include "ui/main_controller.h"

namespace ampelon::testing {

// A MainController over fakes of everything it talks to.
class ControllerFixture : public ::testing::Test {
 protected:
  ControllerFixture() {
    StartController(StartupPaths{"/home/user/"});
    m_serial.SetEventHandler(
        [this](const SerialEvent& event) { m_controller->OnSerialEvent(event); });
  }

  // A new controller over the same fakes, as at the program's next start.
  void StartController(const StartupPaths& paths) {
    const ChartLabels labels = WireChartLabels(m_axis, m_value, m_time);
    m_controller.reset();
    m_controller.emplace(m_clock, m_serial, m_settings,
                         MainController::Views{m_canvas, m_geometry, labels, m_status, m_dialogs,
                                               m_fileDialog, m_files},
                         paths);
  }

  const VoltageWindow& Window() const { return m_controller->GetChart().Window(); }

  FakeClock m_clock{36000.0f};
  FakeSerialControl m_serial;
  FakeSettingsBackend m_backend;
  SettingsStore m_settings{m_backend};
  FakeCanvas m_canvas;
  FakeWindowGeometry m_geometry;
  std::array<FakeLabel, 7> m_axis;
  FakeLabel m_value;
  FakeLabel m_time;
  FakeLabel m_status;
  FakeDialogs m_dialogs;
  FakeFileDialog m_fileDialog;
  FakeGraphFileAccess m_files;
  std::optional<MainController> m_controller;
};

}  // namespace ampelon::testing
