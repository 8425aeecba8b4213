#pragma once

#include <string>

namespace ampelon {

class Dialogs;
class SerialControl;
class SerialPortOpener;
class SettingsStore;

// "Change Serial Port Number": closes the port, asks for a number from 1 to 12, stores it and
// opens that port. An empty answer keeps the number; any other answer shows "Wrong entry!" and
// keeps it. In every case the number is stored in its canonical form and the port reopened.
class PortNumberCommand {
 public:
  // All references must outlive the command. `title` heads the input and message boxes.
  PortNumberCommand(SettingsStore& settings, SerialControl& serial, SerialPortOpener& opener,
                    Dialogs& dialogs, std::string title);

  void Run();

 private:
  SettingsStore& m_settings;
  SerialControl& m_serial;
  SerialPortOpener& m_opener;
  Dialogs& m_dialogs;
  std::string m_title;
};

}  // namespace ampelon
