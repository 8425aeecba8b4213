#include "ui/main_controller.h"

#include "serial/serial_control.h"

namespace ampelon {
namespace {

constexpr float kDefaultRangeVolts = 0.3f;
constexpr int kDefaultPortNumber = 2;
constexpr const char* kDefaultLineSettings = "19200,n,8,1";

}  // namespace

MainController::MainController(Clock& clock, SerialControl& serial, const Views& views)
    : m_serial(serial),
      m_store(clock),
      m_decoder(m_store),
      m_chart(m_store, views.canvas, views.geometry, views.labels, views.decimalPoint) {}

void MainController::OnLoad() {
  m_chart.SetWindow(VoltageWindow::AtStart(kDefaultRangeVolts));
  m_chart.UpdateAxisLabels();
  m_chart.DrawGrid();
  m_serial.SetPortNumber(kDefaultPortNumber);
  m_serial.SetLineSettings(kDefaultLineSettings);
  m_serial.Open();
}

void MainController::OnResize() { m_chart.LayoutChart(); }

void MainController::OnTick() { m_chart.RefreshChart(); }

void MainController::OnSerialEvent(const SerialEvent& /*event*/) {
  // Read once per event, whatever its kind: a loss still hands over the last bytes received.
  m_decoder.OnSerialEvent(m_serial.ReadReceivedText());
}

}  // namespace ampelon
