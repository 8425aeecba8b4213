#include "serial/serial_port_opener.h"

#include "common/colour.h"
#include "common/number_text.h"
#include "common/text_label.h"
#include "serial/port_device.h"
#include "serial/serial_control.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace ampelon {
namespace {

constexpr const char* kDefaultPortNumber = "2";
constexpr const char* kDefaultBaudRate = "19200";
constexpr const char* kFixedLineSettings = ",n,8,1";
constexpr int kHighestScannedPort = 12;

}  // namespace

SerialPortOpener::SerialPortOpener(SettingsStore& settings, SerialControl& serial,
                                   TextLabel& status)
    : m_settings(settings), m_serial(serial), m_status(status) {}

void SerialPortOpener::OpenSerialPort() {
  m_portNumber = PortNumberFromSetting(
      m_settings.ReadSetting(settings::kSerialPortNumber, kDefaultPortNumber));
  m_baudRate = m_settings.ReadSetting(settings::kSerialPortBaudRate, kDefaultBaudRate);
  m_retrying = false;
  OpenConfiguredPort();
}

void SerialPortOpener::OpenConfiguredPort() {
  m_portReady = false;
  m_serial.SetPortNumber(m_portNumber);
  m_serial.SetLineSettings(LineSettingsText());
  const Result<void> opened = m_serial.Open();
  if (opened) {
    ShowReady();
    m_portReady = true;
  } else {
    ShowError(opened.error());
  }
}

std::string SerialPortOpener::LineSettingsText() const { return m_baudRate + kFixedLineSettings; }

void SerialPortOpener::ScanSerialPorts() {
  if (m_portReady) return;
  const int configured = m_portNumber;
  for (int candidate = kHighestScannedPort; candidate >= 1; --candidate) {
    m_settings.WriteSetting(settings::kSerialPortNumber, NumberText(candidate));
    OpenSerialPort();
    if (m_portReady) return;
  }
  m_settings.WriteSetting(settings::kSerialPortNumber, NumberText(configured));
  OpenSerialPort();
}

void SerialPortOpener::OnPortLost(const std::string& reason) {
  m_portReady = false;
  m_retrying = true;
  ShowError(reason);
}

void SerialPortOpener::RetryLostPort() {
  if (!m_retrying) return;
  OpenConfiguredPort();
  if (m_portReady) m_retrying = false;
}

void SerialPortOpener::ShowReady() {
  m_status.SetText("Serial port " + NumberText(m_portNumber) + " ready");
  m_status.SetBackground(kLightGreen);
  m_status.SetHoverText({});
}

void SerialPortOpener::ShowError(const std::string& reason) {
  m_status.SetText("Serial port " + NumberText(m_portNumber) + " error!");
  m_status.SetBackground(kLightRed);
  m_status.SetHoverText(reason);
}

}  // namespace ampelon
