#include "serial/qt/qt_serial_control.h"

#include <utility>

#include <QByteArray>
#include <QFileInfo>
#include <QMetaObject>
#include <QSerialPort>
#include <QString>

#include "serial/line_settings.h"
#include "serial/port_device.h"
#include "serial/qt/serial_device_check.h"
#include "serial/qt/uart_presence.h"

namespace ampelon {
namespace {

QSerialPort::Parity ToQtParity(LineSettings::Parity parity) {
  switch (parity) {
    case LineSettings::Parity::kNone:
      return QSerialPort::NoParity;
    case LineSettings::Parity::kEven:
      return QSerialPort::EvenParity;
    case LineSettings::Parity::kOdd:
      return QSerialPort::OddParity;
    case LineSettings::Parity::kMark:
      return QSerialPort::MarkParity;
    case LineSettings::Parity::kSpace:
      return QSerialPort::SpaceParity;
  }
  return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQtStopBits(LineSettings::StopBits stopBits) {
  switch (stopBits) {
    case LineSettings::StopBits::kOne:
      return QSerialPort::OneStop;
    case LineSettings::StopBits::kOneAndHalf:
      return QSerialPort::OneAndHalfStop;
    case LineSettings::StopBits::kTwo:
      return QSerialPort::TwoStop;
  }
  return QSerialPort::OneStop;
}

// A pseudo-terminal cannot change modem lines (UnsupportedOperationError) and a timeout is not a
// fault of the port; anything else means the open port no longer works.
bool IsPortFailure(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::UnsupportedOperationError:
    case QSerialPort::TimeoutError:
      return false;
    default:
      return true;
  }
}

std::string Reason(const std::string& device, const QSerialPort& port) {
#ifdef __linux__
  // Serial nodes belong to group dialout; the usual cause of a refusal is a user not in it. A
  // readable node refused for other reasons (busy, locked) gets the system's own words.
  if (port.error() == QSerialPort::PermissionError &&
      !QFileInfo(QString::fromStdString(device)).isReadable()) {
    return device +
           ": Permission denied \u2014 on Linux, add your user to the dialout group and log in "
           "again";
  }
#endif
  return device + ": " + port.errorString().toStdString();
}

// Why an open port stopped working. Qt words read failures after errno, but a device that
// hangs up (a USB adapter unplugged, the far end of a pseudo-terminal closed) makes read()
// return 0 without setting errno, so its text would be a stale, unrelated one.
std::string FailureReason(const std::string& device, const QSerialPort& port) {
  switch (port.error()) {
    case QSerialPort::ReadError:
      return device + ": The device stopped answering; it may have been unplugged";
    case QSerialPort::ResourceError:
      return device + ": The device disappeared from the system";
    default:
      return device + ": " + port.errorString().toStdString();
  }
}

void AppendBytes(std::string& text, const QByteArray& bytes) {
  text.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

QtSerialControl::QtSerialControl(OverrideLookup overrideLookup)
    : m_overrideLookup(std::move(overrideLookup)), m_port(std::make_unique<QSerialPort>()) {
  QObject::connect(m_port.get(), &QSerialPort::readyRead, m_port.get(), [this] {
    RaiseEvent({SerialEventKind::kReceived, {}});
  });
  QObject::connect(m_port.get(), &QSerialPort::errorOccurred, m_port.get(),
                   [this](QSerialPort::SerialPortError error) {
                     // Failures while opening are Open()'s result, not events.
                     if (!m_port->isOpen() || !IsPortFailure(error)) return;
                     ClosePortAfterFailure(FailureReason(m_openDevice, *m_port));
                   });
}

QtSerialControl::~QtSerialControl() { Close(); }

void QtSerialControl::SetPortNumber(int portNumber) { m_portNumber = portNumber; }

void QtSerialControl::SetLineSettings(std::string_view settings) {
  m_lineSettings.assign(settings);
}

Result<void> QtSerialControl::Open() {
  if (m_port->isOpen()) return Failure{m_openDevice + ": The port is already open"};

  const Result<LineSettings> parsed = ParseLineSettings(m_lineSettings);
  if (!parsed) return Failure{parsed.error()};
  const LineSettings& settings = *parsed;

  const std::optional<std::string> overridePath =
      m_overrideLookup ? m_overrideLookup(m_portNumber) : std::nullopt;
  const std::string device = DeviceNameForPort(m_portNumber, CurrentDevicePlatform(), overridePath);
  if (device.empty()) {
    return Failure{"No serial device belongs to port " + std::to_string(m_portNumber)};
  }
  if (Result<void> checked = CheckSerialDevice(device); !checked) return checked;
  if (!UartHardwarePresent(device)) return Failure{device + ": No such device"};

  ++m_openCount;
  m_unreadAfterFailure.clear();
  m_openDevice = device;
  m_port->setPortName(QString::fromStdString(device));
  // Set before open() so the port starts with them; open() fails if the device refuses one.
  if (!m_port->setBaudRate(settings.baudRate) ||
      !m_port->setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) ||
      !m_port->setParity(ToQtParity(settings.parity)) ||
      !m_port->setStopBits(ToQtStopBits(settings.stopBits)) ||
      !m_port->setFlowControl(QSerialPort::NoFlowControl)) {
    return Failure{Reason(device, *m_port)};
  }
  if (!m_port->open(QIODevice::ReadOnly)) return Failure{Reason(device, *m_port)};

  // The program never transmits, but opto-isolated adapters often draw their power from DTR and
  // RTS. Linux raises both on open anyway; Qt on Windows leaves them low. A pseudo-terminal
  // refuses: harmless.
  m_port->setDataTerminalReady(true);
  m_port->setRequestToSend(true);
  m_port->clearError();
  return {};
}

void QtSerialControl::Close() {
  if (m_port->isOpen()) m_port->close();
}

bool QtSerialControl::IsOpen() const { return m_port->isOpen(); }

std::string QtSerialControl::ReadReceivedText() {
  std::string text = std::exchange(m_unreadAfterFailure, {});
  if (m_port->isOpen()) AppendBytes(text, m_port->readAll());
  return text;
}

void QtSerialControl::SetEventHandler(EventHandler handler) { m_eventHandler = std::move(handler); }

void QtSerialControl::ClosePortAfterFailure(std::string reason) {
  // Qt keeps a vanished port open and reports the same error over and over; closing stops that.
  // Bytes that arrived before the failure stay readable.
  AppendBytes(m_unreadAfterFailure, m_port->readAll());
  m_port->close();
  // Delivered from the event loop rather than from inside QSerialPort's signal, so the handler
  // may reopen the port.
  QMetaObject::invokeMethod(
      m_port.get(),
      [this, openCount = m_openCount, reason = std::move(reason)] {
        if (openCount == m_openCount) RaiseEvent({SerialEventKind::kPortLost, reason});
      },
      Qt::QueuedConnection);
}

void QtSerialControl::RaiseEvent(const SerialEvent& event) {
  if (m_eventHandler) m_eventHandler(event);
}

}  // namespace ampelon
