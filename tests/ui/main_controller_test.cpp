#include "ui/main_controller.h"

#include <gtest/gtest.h>

#include <array>

#include "fakes/fake_canvas.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_label.h"
#include "fakes/fake_serial_control.h"
#include "fakes/fake_window_geometry.h"

namespace ampelon {
namespace {

using namespace ampelon::testing;

class MainControllerTest : public ::testing::Test {
 protected:
  MainControllerTest() {
    ChartLabels labels;
    for (std::size_t k = 0; k < m_axis.size(); ++k) labels.axis[k] = &m_axis[k];
    labels.currentValue = &m_value;
    labels.chargeTime = &m_time;
    m_controller.emplace(m_clock, m_serial, MainController::Views{m_canvas, m_geometry, labels});
  }

  FakeClock m_clock{36000.0f};
  FakeSerialControl m_serial;
  FakeCanvas m_canvas;
  FakeWindowGeometry m_geometry;
  std::array<FakeLabel, 7> m_axis;
  FakeLabel m_value;
  FakeLabel m_time;
  std::optional<MainController> m_controller;
};

TEST_F(MainControllerTest, LoadLabelsTheStartWindowAndDrawsTheEmptyGrid) {
  m_controller->OnLoad();
  EXPECT_EQ(m_axis[0].Text(), "1.00V");
  EXPECT_EQ(m_axis[6].Text(), "1.30V");
  EXPECT_EQ(m_canvas.Clears(), 1);
  EXPECT_EQ(m_canvas.PointCount(), 0u);
}

TEST_F(MainControllerTest, ReadingsReachTheChartOnlyAtTheNextTick) {
  m_serial.SetEventHandler(
      [this](const SerialEvent& event) { m_controller->OnSerialEvent(event); });
  m_controller->OnLoad();
  m_serial.Receive("2048\n20");
  EXPECT_EQ(m_controller->Store().SampleCount(), 1);
  EXPECT_EQ(m_serial.Reads(), 1);
  EXPECT_EQ(m_canvas.PointCount(), 0u);
  EXPECT_TRUE(m_value.Text().empty());

  m_serial.Receive("48\n");
  m_controller->OnTick();
  EXPECT_EQ(m_controller->Store().SampleCount(), 2);
  EXPECT_EQ(m_value.Text(), "1.250V [2048]");
  EXPECT_EQ(m_canvas.PointCount(), 2u);
}

TEST_F(MainControllerTest, EveryEventReadsTheControlOnceEvenALoss) {
  m_serial.SetEventHandler(
      [this](const SerialEvent& event) { m_controller->OnSerialEvent(event); });
  m_serial.Receive("7\n");
  m_serial.LosePort("gone");
  EXPECT_EQ(m_serial.Reads(), 2);
  EXPECT_EQ(m_controller->Store().SampleCount(), 1);
}

TEST_F(MainControllerTest, ResizeLaysOutTheChart) {
  m_controller->OnResize();  // the fake window has the design size, 7140 x 9150
  EXPECT_EQ(m_canvas.WidthTwips(), 6015.0f);
  EXPECT_EQ(m_canvas.HeightTwips(), 6735.0f);
}

}  // namespace
}  // namespace ampelon
