#include "serial/win/win32_serial_control.h"

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "serial/line_settings.h"
#include "serial/port_device.h"
#include "serial/win/comm_port.h"

namespace ampelon {

struct Win32SerialControl::Session {
  Session(CommPort openPort, std::string deviceName)
      : port(std::move(openPort)), device(std::move(deviceName)) {}

  CommPort port;
  const std::string device;
  std::thread reader;
  std::atomic<bool> stopping{false};

  std::mutex mutex;             // guards what follows
  std::string received;         // read from the port, not yet taken by ReadReceivedText()
  bool receivedQueued = false;  // an OnReceived task is queued and has not run yet
};

namespace {

constexpr std::size_t kReadChunkBytes = 16 * 1024;

}  // namespace

Win32SerialControl::Win32SerialControl(Poster poster, OverrideLookup overrideLookup)
    : m_poster(std::move(poster)), m_overrideLookup(std::move(overrideLookup)) {}

Win32SerialControl::~Win32SerialControl() { Close(); }

void Win32SerialControl::SetPortNumber(int portNumber) { m_portNumber = portNumber; }

void Win32SerialControl::SetLineSettings(std::string_view settings) {
  m_lineSettings.assign(settings);
}

Result<void> Win32SerialControl::Open() {
  if (m_session) return Failure{m_session->device + ": The port is already open"};

  const Result<LineSettings> settings = ParseLineSettings(m_lineSettings);
  if (!settings) return Failure{settings.error()};
  const std::optional<std::string> overridePath =
      m_overrideLookup ? m_overrideLookup(m_portNumber) : std::nullopt;
  const std::string device =
      DeviceNameForPort(m_portNumber, DevicePlatform::kWindows, overridePath);
  if (device.empty()) {
    return Failure{"No serial device belongs to port " + std::to_string(m_portNumber)};
  }

  Result<CommPort> port = CommPort::Open(device, *settings);
  if (!port) return Failure{port.error()};

  m_unreadAfterFailure.clear();
  auto session = std::make_shared<Session>(std::move(*port), device);
  try {
    session->reader =
        std::thread([this, &opened = *session, handle = std::weak_ptr<Session>(session)] {
          ReadUntilStopped(opened, handle);
        });
  } catch (const std::system_error& error) {
    return Failure{device + ": Cannot start reading the port (" + error.what() + ")"};
  }
  m_session = std::move(session);
  return {};
}

void Win32SerialControl::Close() { EndSession(); }

std::string Win32SerialControl::ReadReceivedText() {
  std::string text = std::exchange(m_unreadAfterFailure, {});
  if (m_session) {
    const std::lock_guard lock(m_session->mutex);
    text += m_session->received;
    m_session->received.clear();
  }
  return text;
}

void Win32SerialControl::SetEventHandler(EventHandler handler) {
  m_eventHandler = std::move(handler);
}

void Win32SerialControl::ReadUntilStopped(Session& session, const std::weak_ptr<Session>& handle) {
  std::array<char, kReadChunkBytes> buffer;
  while (!session.stopping) {
    const auto started = std::chrono::steady_clock::now();
    Result<std::size_t> count = session.port.Read(buffer);
    if (count && *count == 0) {
      // Quiet, or gone: a pseudo-terminal whose far end closed reads as quiet under Wine, and so
      // do some USB adapters once unplugged. The driver's answer tells them apart.
      if (Result<void> present = session.port.CheckPresent(); !present) {
        count = Failure{present.error()};
      }
    }
    if (session.stopping) return;  // a failure caused by Close() is no loss
    if (!count) {
      m_poster([this, handle, reason = count.error()] {
        if (const std::shared_ptr<Session> alive = handle.lock()) OnLost(*alive, reason);
      });
      return;
    }
    if (*count == 0) {
      // A driver that answers at once instead of waiting must not make this loop spin.
      if (std::chrono::steady_clock::now() - started < CommPort::kReadWait / 2) {
        std::this_thread::sleep_for(CommPort::kReadWait);
      }
      continue;
    }

    bool queueTask = false;
    {
      const std::lock_guard lock(session.mutex);
      session.received.append(buffer.data(), *count);
      queueTask = !std::exchange(session.receivedQueued, true);
    }
    if (queueTask) {
      m_poster([this, handle] {
        if (const std::shared_ptr<Session> alive = handle.lock()) OnReceived(*alive);
      });
    }
  }
}

void Win32SerialControl::OnReceived(Session& session) {
  // A session that is alive but no longer current belongs to a port lost while its handler
  // still runs; its bytes are m_unreadAfterFailure's now.
  if (&session != m_session.get()) return;
  {
    const std::lock_guard lock(session.mutex);
    // Cleared before the handler reads, so that bytes arriving meanwhile queue a new task.
    session.receivedQueued = false;
    if (session.received.empty()) return;  // taken by an earlier ReadReceivedText()
  }
  RaiseEvent({SerialEventKind::kReceived, {}});
}

void Win32SerialControl::OnLost(Session& session, const std::string& reason) {
  if (&session != m_session.get()) return;
  EndSession();
  // Bytes that arrived before the failure stay readable.
  {
    const std::lock_guard lock(session.mutex);
    m_unreadAfterFailure += session.received;
  }
  // The port is closed by now, so the handler may open it again.
  RaiseEvent({SerialEventKind::kPortLost, reason});
}

void Win32SerialControl::EndSession() {
  // Released only at the end of this function, or later by a task that still runs for it.
  const std::shared_ptr<Session> session = std::exchange(m_session, nullptr);
  if (!session) return;
  session->stopping = true;
  session->port.CancelRead();
  if (session->reader.joinable()) session->reader.join();
  session->port.Close();
}

void Win32SerialControl::RaiseEvent(const SerialEvent& event) {
  if (m_eventHandler) m_eventHandler(event);
}

}  // namespace ampelon
