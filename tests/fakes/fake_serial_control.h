#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "serial/serial_control.h"

namespace ampelon::testing {

// A serial control whose ports open or fail as the test says, and whose received bytes the test
// pushes in; Receive() raises the event as a real port would.
class FakeSerialControl final : public SerialControl {
 public:
  void SetPortNumber(int portNumber) override { m_portNumber = portNumber; }
  void SetLineSettings(std::string_view settings) override { m_lineSettings = settings; }
  Result<void> Open() override {
    m_openAttempts.push_back(m_portNumber);
    const auto failure = m_failures.find(m_portNumber);
    if (failure != m_failures.end() || !m_workingPorts.contains(m_portNumber)) {
      return Failure{failure != m_failures.end() ? failure->second : "No such device"};
    }
    m_open = true;
    return {};
  }
  void Close() override {
    ++m_closeCalls;
    m_open = false;
  }
  bool IsOpen() const { return m_open; }
  std::string ReadReceivedText() override {
    ++m_reads;
    return std::exchange(m_pending, {});
  }
  void SetEventHandler(EventHandler handler) override { m_handler = std::move(handler); }

  // Test controls.
  void AddWorkingPort(int portNumber) { m_workingPorts[portNumber] = true; }
  void FailPort(int portNumber, std::string reason) { m_failures[portNumber] = std::move(reason); }
  void Receive(std::string bytes) {
    m_pending += bytes;
    if (m_handler) m_handler(SerialEvent{SerialEventKind::kReceived, {}});
  }
  void LosePort(std::string reason) {
    m_open = false;
    if (m_handler) m_handler(SerialEvent{SerialEventKind::kPortLost, std::move(reason)});
  }

  int PortNumber() const { return m_portNumber; }
  const std::string& LineSettings() const { return m_lineSettings; }
  const std::vector<int>& OpenAttempts() const { return m_openAttempts; }
  int CloseCalls() const { return m_closeCalls; }
  int Reads() const { return m_reads; }
  bool HasEventHandler() const { return static_cast<bool>(m_handler); }

 private:
  int m_portNumber = 0;
  std::string m_lineSettings;
  bool m_open = false;
  std::map<int, bool> m_workingPorts;
  std::map<int, std::string> m_failures;
  std::string m_pending;
  EventHandler m_handler;
  std::vector<int> m_openAttempts;
  int m_closeCalls = 0;
  int m_reads = 0;
};

}  // namespace ampelon::testing
