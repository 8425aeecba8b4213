#include "serial/port_number_command.h"

#include <optional>
#include <utility>

#include "common/dialogs.h"
#include "common/number_text.h"
#include "serial/serial_control.h"
#include "serial/serial_port_opener.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace ampelon {
namespace {

// The port number an answer names: exactly one of the texts "1" to "12".
std::optional<int> AcceptedPortNumber(const std::string& answer) {
  for (int number = 1; number <= 12; ++number) {
    if (answer == NumberText(number)) return number;
  }
  return std::nullopt;
}

}  // namespace

PortNumberCommand::PortNumberCommand(SettingsStore& settings, SerialControl& serial,
                                     SerialPortOpener& opener, Dialogs& dialogs, std::string title)
    : m_settings(settings),
      m_serial(serial),
      m_opener(opener),
      m_dialogs(dialogs),
      m_title(std::move(title)) {}

void PortNumberCommand::Run() {
  // A lost port must not be brought back behind the user's back while they choose.
  m_opener.ForgetLostPort();
  m_serial.Close();
  int portNumber = m_opener.PortNumber();
  const std::string answer = m_dialogs.InputBox("Please select Serial Port Number [1-12].", m_title,
                                                NumberText(portNumber));
  if (const auto accepted = AcceptedPortNumber(answer)) {
    portNumber = *accepted;
  } else if (!answer.empty()) {
    m_dialogs.MessageBox("Wrong entry!", m_title);
  }
  m_settings.WriteSetting(settings::kSerialPortNumber, NumberText(portNumber));
  m_opener.OpenSerialPort();
}

}  // namespace ampelon
