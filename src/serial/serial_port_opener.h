#pragma once

#include <string>

namespace ampelon {

class SerialControl;
class SettingsStore;
class TextLabel;

// Opens the serial port the settings name and shows the outcome in the status read-out:
// "Serial port 2 ready" on light green or "Serial port 2 error!" on light red, with the
// system's reason as hover text. Also finds a working port at start-up and brings back a port
// that was lost while open.
class SerialPortOpener {
 public:
  // All references must outlive the opener.
  SerialPortOpener(SettingsStore& settings, SerialControl& serial, TextLabel& status);

  // Reads "Serial Port Number" and "Serial Port Baud Rate", configures the control with the
  // speed and ",n,8,1", opens it and shows the outcome.
  void OpenSerialPort();
  // When the last open failed: tries ports 12 down to 1 through the setting and keeps the first
  // that opens; when none does, restores the configured number and opens it once more.
  void ScanSerialPorts();

  // The open port failed (unplugged, powered off): shows the error and starts retrying.
  void OnPortLost(const std::string& reason);
  // Once a second: while a lost port is away, tries to open the same port again.
  void RetryLostPort();
  // Stops retrying (the user is choosing another port).
  void ForgetLostPort() { m_retrying = false; }

  int PortNumber() const { return m_portNumber; }
  const std::string& BaudRate() const { return m_baudRate; }
  // What the port is configured with: the speed and ",n,8,1".
  std::string LineSettingsText() const;
  bool PortReady() const { return m_portReady; }
  bool RetryingLostPort() const { return m_retrying; }

 private:
  // Configures and opens the control for PortNumber and BaudRate, then shows the outcome.
  void OpenConfiguredPort();
  void ShowReady();
  void ShowError(const std::string& reason);

  SettingsStore& m_settings;
  SerialControl& m_serial;
  TextLabel& m_status;
  int m_portNumber = 0;
  std::string m_baudRate;
  bool m_portReady = false;
  bool m_retrying = false;
};

}  // namespace ampelon
