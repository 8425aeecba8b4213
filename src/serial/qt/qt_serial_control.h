#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "serial/serial_control.h"

class QSerialPort;

namespace ampelon {

// SerialControl over a QSerialPort, opened for reading only. Events reach the handler from the
// Qt event loop of the thread that owns the control.
class QtSerialControl final : public SerialControl {
 public:
  // The user's device path for a port number, or nothing to use the platform's numbering.
  using OverrideLookup = std::function<std::optional<std::string>(int portNumber)>;

  // `overrideLookup` may be empty; it is asked at every Open().
  explicit QtSerialControl(OverrideLookup overrideLookup = {});
  ~QtSerialControl() override;

  QtSerialControl(const QtSerialControl&) = delete;
  QtSerialControl& operator=(const QtSerialControl&) = delete;

  void SetPortNumber(int portNumber) override;
  void SetLineSettings(std::string_view settings) override;
  Result<void> Open() override;
  void Close() override;
  bool IsOpen() const;  // for tests: the program itself never needs to ask
  std::string ReadReceivedText() override;
  void SetEventHandler(EventHandler handler) override;

 private:
  void ClosePortAfterFailure(std::string reason);
  void RaiseEvent(const SerialEvent& event);

  OverrideLookup m_overrideLookup;
  std::unique_ptr<QSerialPort> m_port;
  EventHandler m_eventHandler;
  int m_portNumber = 1;
  std::string m_lineSettings = "9600,n,8,1";
  std::string m_openDevice;
  // Bytes that were still unread when a failed port was closed; still owed to the reader.
  std::string m_unreadAfterFailure;
  // Counts opens, so that news of a failed port does not outlive a later open.
  unsigned m_openCount = 0;
};

}  // namespace ampelon
