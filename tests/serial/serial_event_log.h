#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "serial/serial_control.h"

namespace ampelon::testing {

// Runs the Qt event loop until `done` holds or `timeout` passes; true when `done` held. Sleeps
// between events, so waiting costs no processor time of its own.
bool SpinUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
void SpinFor(std::chrono::milliseconds duration);

// Records a control's events and, like the program, reads the received text once per event.
class SerialEventLog {
 public:
  explicit SerialEventLog(SerialControl& control);

  int Count(SerialEventKind kind) const;
  const std::vector<SerialEvent>& Events() const { return m_events; }
  const std::string& Received() const { return m_received; }

 private:
  std::vector<SerialEvent> m_events;
  std::string m_received;
};

}  // namespace ampelon::testing
