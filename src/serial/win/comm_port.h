#pragma once

#include <chrono>
#include <cstddef>
#include <span>
#include <string>
#include <utility>

#include "common/result.h"
#include "serial/line_settings.h"

namespace ampelon {

// An open Windows COM port, set up for receiving: line settings applied, stale input dropped,
// reads that wait a short while for the first byte. Every failure's reason starts with the
// device's name, as the user gave it ("COM5: …").
class CommPort {
 public:
  // The longest a Read() waits when nothing arrives. Also bounds how long stopping a reader
  // takes where the read cannot be cancelled (Wine).
  static constexpr std::chrono::milliseconds kReadWait{50};

  // `device` is a port name such as "COM5", or a path such as \\.\COM17 from the user's
  // settings. Fails unless the port opened and took every setting.
  static Result<CommPort> Open(const std::string& device, const LineSettings& settings);

  CommPort() = default;
  CommPort(CommPort&& other) noexcept;
  CommPort& operator=(CommPort&& other) noexcept;
  ~CommPort();

  bool IsOpen() const { return m_handle != nullptr; }

  // Bytes that arrive within kReadWait, at most buffer.size(); 0 when none came.
  Result<std::size_t> Read(std::span<char> buffer);
  // Whether the driver still answers for the port. A device that went away can look like a
  // quiet one to Read(), so this is asked when a read finds nothing.
  Result<void> CheckPresent();
  // Makes a Read() in progress on another thread return early, where the driver allows it.
  void CancelRead();
  void Close();

 private:
  CommPort(void* handle, std::string device) : m_handle(handle), m_device(std::move(device)) {}

  Result<void> Configure(const LineSettings& settings);
  Failure LossFailure(unsigned long errorCode) const;

  void* m_handle = nullptr;  // the Windows HANDLE; nullptr when closed
  std::string m_device;
};

}  // namespace ampelon
