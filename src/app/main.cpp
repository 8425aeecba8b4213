#include <QApplication>

#include "common/system_clock.h"
#include "serial/qt/port_override_file.h"
#include "serial/qt/qt_serial_control.h"
#include "ui/qt/form1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ampelon"));

  ampelon::SystemClock clock;
  ampelon::PortOverrideFile overrides;
  ampelon::QtSerialControl serial(
      [&overrides](int portNumber) { return overrides.DevicePathFor(portNumber); });

  ampelon::Form1 window(clock, serial);
  window.Load();
  window.show();
  return QApplication::exec();
}
