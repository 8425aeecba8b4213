#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "serial/serial_control.h"

namespace ampelon {

// SerialControl over a Windows COM port (port n is COMn), opened for reading only. A thread of
// its own reads the port; events reach the handler through the poster, on the thread that owns
// the control. At most one "received" event waits in the poster's queue at a time, however fast
// bytes arrive.
//
// In the Qt program, events go through the event loop like any other:
//
//   ampelon::Win32SerialControl serial(
//       [](std::function<void()> task) {
//         QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
//       },
//       [&overrides](int portNumber) { return overrides.DevicePathFor(portNumber); });
//
// Everything but the poster is called on the owning thread. A task still queued when the port is
// closed or the control destroyed does nothing.
class Win32SerialControl final : public SerialControl {
 public:
  // Runs a task on the owning thread soon, in the order given. Called from the reading thread;
  // must not be empty.
  using Poster = std::function<void(std::function<void()> task)>;
  // The user's device for a port number (such as \\.\COM17), or nothing for COMn.
  using OverrideLookup = std::function<std::optional<std::string>(int portNumber)>;

  // `overrideLookup` may be empty; it is asked at every Open().
  explicit Win32SerialControl(Poster poster, OverrideLookup overrideLookup = {});
  ~Win32SerialControl() override;

  Win32SerialControl(const Win32SerialControl&) = delete;
  Win32SerialControl& operator=(const Win32SerialControl&) = delete;

  void SetPortNumber(int portNumber) override;
  void SetLineSettings(std::string_view settings) override;
  Result<void> Open() override;
  void Close() override;
  bool IsOpen() const { return m_session != nullptr; }  // for tests
  std::string ReadReceivedText() override;
  void SetEventHandler(EventHandler handler) override;

 private:
  // One open port and its reading thread.
  struct Session;

  // The reading thread's work, until Close() or a failure of the port.
  void ReadUntilStopped(Session& session, const std::weak_ptr<Session>& handle);
  // Queued tasks, run on the owning thread while `session` is still alive.
  void OnReceived(Session& session);
  void OnLost(Session& session, const std::string& reason);
  // Stops the reading thread and closes the port, if one is open.
  void EndSession();
  void RaiseEvent(const SerialEvent& event);

  Poster m_poster;
  OverrideLookup m_overrideLookup;
  EventHandler m_eventHandler;
  int m_portNumber = 1;
  std::string m_lineSettings = "9600,n,8,1";
  // The only owner of the open session: queued tasks hold weak references, which expire when
  // it closes, so they never reach a closed port or a destroyed control.
  std::shared_ptr<Session> m_session;
  // Bytes that were still unread when a failed port was closed; still owed to the reader.
  std::string m_unreadAfterFailure;
};

}  // namespace ampelon
