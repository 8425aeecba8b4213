#include "serial_event_log.h"

#include <algorithm>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace ampelon::testing {

bool SpinUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  QElapsedTimer clock;
  clock.start();
  // Wakes the loop so the deadline is noticed even when nothing happens.
  QTimer wake;
  wake.start(5);
  while (!done()) {
    if (clock.elapsed() >= timeout.count()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void SpinFor(std::chrono::milliseconds duration) {
  SpinUntil([] { return false; }, duration);
}

SerialEventLog::SerialEventLog(SerialControl& control) {
  control.SetEventHandler([this, &control](const SerialEvent& event) {
    m_events.push_back(event);
    m_received += control.ReadReceivedText();
  });
}

int SerialEventLog::Count(SerialEventKind kind) const {
  return static_cast<int>(std::count_if(m_events.begin(), m_events.end(),
                                        [kind](const SerialEvent& e) { return e.kind == kind; }));
}

}  // namespace ampelon::testing
