#include "serial/win/comm_port.h"

#include "common/windows_api.h"

#include "serial/win/windows_text.h"

namespace ampelon {
namespace {

// A bare name such as "COM12" lives in the device namespace, which names above COM9 need; a
// path the user gave is taken as it is.
std::wstring DevicePath(const std::string& device) {
  if (device.find_first_of("\\/:") != std::string::npos) return WideFromUtf8(device);
  return L"\\\\.\\" + WideFromUtf8(device);
}

BYTE ToWindowsParity(LineSettings::Parity parity) {
  switch (parity) {
    case LineSettings::Parity::kNone:
      return NOPARITY;
    case LineSettings::Parity::kEven:
      return EVENPARITY;
    case LineSettings::Parity::kOdd:
      return ODDPARITY;
    case LineSettings::Parity::kMark:
      return MARKPARITY;
    case LineSettings::Parity::kSpace:
      return SPACEPARITY;
  }
  return NOPARITY;
}

BYTE ToWindowsStopBits(LineSettings::StopBits stopBits) {
  switch (stopBits) {
    case LineSettings::StopBits::kOne:
      return ONESTOPBIT;
    case LineSettings::StopBits::kOneAndHalf:
      return ONE5STOPBITS;
    case LineSettings::StopBits::kTwo:
      return TWOSTOPBITS;
  }
  return ONESTOPBIT;
}

// The settings as the user writes them, such as "19200,n,8,1".
std::string SettingsText(const LineSettings& settings) {
  static constexpr const char* kParityLetters[] = {"n", "e", "o", "m", "s"};
  static constexpr const char* kStopBitTexts[] = {"1", "1.5", "2"};
  return std::to_string(settings.baudRate) + "," +
         kParityLetters[static_cast<int>(settings.parity)] + "," +
         std::to_string(settings.dataBits) + "," +
         kStopBitTexts[static_cast<int>(settings.stopBits)];
}

std::string LastErrorText() { return WindowsErrorText(GetLastError()); }

}  // namespace

Result<CommPort> CommPort::Open(const std::string& device, const LineSettings& settings) {
  // Reading only: the program never transmits, and the comm settings calls need no more.
  const HANDLE handle =
      CreateFileW(DevicePath(device).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // Windows' own text ("Access is denied") does not say that another program holds the port.
    if (error == ERROR_ACCESS_DENIED) {
      return Failure{device + ": The port is in use by another program (" +
                     WindowsErrorText(error) + ")"};
    }
    return Failure{device + ": " + WindowsErrorText(error)};
  }
  CommPort port(handle, device);
  // Some handles open although no serial device answers behind them (a file, or under Wine a
  // port whose device is missing); the port counts as open only once it took its settings.
  if (Result<void> configured = port.Configure(settings); !configured) {
    return Failure{configured.error()};
  }
  return port;
}

Result<void> CommPort::Configure(const LineSettings& settings) {
  DCB state{};
  state.DCBlength = sizeof(state);
  if (!GetCommState(m_handle, &state)) {
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED) {
      return Failure{m_device + ": Not a serial port, or its device is missing (" +
                     WindowsErrorText(error) + ")"};
    }
    return Failure{m_device + ": " + WindowsErrorText(error)};
  }
  state.BaudRate = static_cast<DWORD>(settings.baudRate);
  state.ByteSize = static_cast<BYTE>(settings.dataBits);
  state.Parity = ToWindowsParity(settings.parity);
  state.StopBits = ToWindowsStopBits(settings.stopBits);
  state.fBinary = TRUE;
  state.fParity = settings.parity != LineSettings::Parity::kNone;
  // No flow control; NUL bytes and bytes with parity errors are data for the line decoder to
  // judge, and an error on the line must not stop every later read.
  state.fOutxCtsFlow = FALSE;
  state.fOutxDsrFlow = FALSE;
  state.fDsrSensitivity = FALSE;
  state.fInX = FALSE;
  state.fOutX = FALSE;
  state.fNull = FALSE;
  state.fErrorChar = FALSE;
  state.fAbortOnError = FALSE;
  // DTR and RTS raised, as on Linux: opto-isolated adapters often draw their power from them.
  state.fDtrControl = DTR_CONTROL_ENABLE;
  state.fRtsControl = RTS_CONTROL_ENABLE;
  if (!SetCommState(m_handle, &state)) {
    return Failure{m_device + ": The port does not accept the line settings " +
                   SettingsText(settings) + " (" + LastErrorText() + ")"};
  }

  // Return as soon as bytes are there, or after kReadWait with none.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
  timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(kReadWait.count());
  if (!SetCommTimeouts(m_handle, &timeouts) ||
      !PurgeComm(m_handle, PURGE_RXCLEAR | PURGE_RXABORT)) {
    return Failure{m_device + ": " + LastErrorText()};
  }
  return {};
}

CommPort::CommPort(CommPort&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_device(std::move(other.m_device)) {}

CommPort& CommPort::operator=(CommPort&& other) noexcept {
  if (this != &other) {
    Close();
    m_handle = std::exchange(other.m_handle, nullptr);
    m_device = std::move(other.m_device);
  }
  return *this;
}

CommPort::~CommPort() { Close(); }

Result<std::size_t> CommPort::Read(std::span<char> buffer) {
  DWORD count = 0;
  if (!ReadFile(m_handle, buffer.data(), static_cast<DWORD>(buffer.size()), &count, nullptr)) {
    return LossFailure(GetLastError());
  }
  return static_cast<std::size_t>(count);
}

Result<void> CommPort::CheckPresent() {
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(m_handle, &errors, &status)) return LossFailure(GetLastError());
  return {};
}

void CommPort::CancelRead() {
  if (m_handle != nullptr) CancelIoEx(m_handle, nullptr);
}

void CommPort::Close() {
  if (m_handle != nullptr) CloseHandle(std::exchange(m_handle, nullptr));
}

Failure CommPort::LossFailure(unsigned long errorCode) const {
  return Failure{m_device + ": The device stopped answering; it may have been unplugged (" +
                 WindowsErrorText(errorCode) + ")"};
}

}  // namespace ampelon
