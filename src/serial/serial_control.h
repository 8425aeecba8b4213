#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace ampelon {

enum class SerialEventKind {
  kReceived,  // bytes are waiting to be read
  kPortLost,  // the open port failed (device removed, I/O error); it has been closed
};

struct SerialEvent {
  SerialEventKind kind = SerialEventKind::kReceived;
  std::string reason;  // for kPortLost: the operating system's reason, for the user
};

// The serial port the device talks to. The program only receives. Port number and line settings
// are set while the port is closed and apply at the next Open().
class SerialControl {
 public:
  using EventHandler = std::function<void(const SerialEvent&)>;

  virtual ~SerialControl() = default;

  // The platform's serial port of that number (the commands offer 1..12).
  virtual void SetPortNumber(int portNumber) = 0;
  // Line settings such as "19200,n,8,1": speed, parity, data bits, stop bits.
  virtual void SetLineSettings(std::string_view settings) = 0;
  // Opens the port with the current number and settings. An absent, busy or unusable port, or
  // settings it cannot take, fail with the reason, for the user; never a crash.
  virtual Result<void> Open() = 0;
  // Closes the port; closing a closed port does nothing.
  virtual void Close() = 0;
  // Every byte received and not yet read, in arrival order, each exactly once; may be empty.
  virtual std::string ReadReceivedText() = 0;
  // Called on the user-interface thread when bytes arrive, and once when an open port fails.
  virtual void SetEventHandler(EventHandler handler) = 0;
};

}  // namespace ampelon
