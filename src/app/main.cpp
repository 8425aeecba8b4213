#include <string>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include "app/termination_signals.h"
#include "common/system_clock.h"
#include "serial/port_override_file.h"
#include "serial/qt/qt_serial_control.h"
#include "settings/settings_store.h"
#include "ui/main_controller.h"
#include "ui/qt/form1.h"

#ifdef _WIN32
#include "settings/registry_settings_backend.h"
#else
#include "settings/qt/ini_settings_backend.h"
#endif

namespace {

// The per-user folder of the recovery journal: $XDG_STATE_HOME (~/.local/state) on Linux and
// the local (not roaming) application data folder on Windows and macOS.
std::string JournalFolder() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  // Relative paths are invalid here and ignored, as for the other XDG folders.
  if (state.isEmpty() || QDir::isRelativePath(state)) {
    state = QDir::homePath() + QStringLiteral("/.local/state");
  }
#else
  const QString state = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
  return QDir::toNativeSeparators(state + QStringLiteral("/Trevanix Ampelon")).toStdString();
}

// The folder first offered for graph logs, with a final separator: the program's folder, or the
// user's home when the program lives where the user cannot write (an installed program).
ampelon::StartupPaths FindStartupPaths() {
  QString appPath = QCoreApplication::applicationDirPath();
  QString home = QDir::homePath();
#ifdef _WIN32
  // File names are case-insensitive here, so the folder may be written in lower case.
  appPath = QDir::toNativeSeparators(appPath).toLower();
  home = QDir::toNativeSeparators(home);
  const QString separator = QStringLiteral("\\");
#else
  const QString separator = QStringLiteral("/");
#endif
  if (!appPath.endsWith(separator)) appPath += separator;
  if (!home.endsWith(separator)) home += separator;
  const bool writable = QFileInfo(QCoreApplication::applicationDirPath()).isWritable();
  return {(writable ? appPath : home).toStdString(), JournalFolder()};
}

// The per-user settings file: the settings on systems without the registry, and the port
// overrides everywhere.
std::string SettingsFilePath() {
  return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
          QStringLiteral("/Trevanix Ampelon/settings.ini"))
      .toStdString();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ampelon"));
  // Lets the desktop match the window to its desktop entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.trevanix.Ampelon"));

  // One copy at a time: a second one ends at once, silently, before touching anything. A lock
  // left by a crashed copy belongs to a dead process and is taken over.
  QLockFile instanceLock(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                         QStringLiteral("/ampelon.lock"));
  instanceLock.setStaleLockTime(0);
  if (!instanceLock.tryLock(0)) return 0;

  const std::string settingsFile = SettingsFilePath();
#ifdef _WIN32
  ampelon::RegistrySettingsBackend settingsBackend;
#else
  ampelon::IniSettingsBackend settingsBackend(settingsFile);
#endif
  ampelon::SettingsStore settings(settingsBackend);
  ampelon::SystemClock clock;
  ampelon::PortOverrideFile overrides(settingsFile);
  ampelon::QtSerialControl serial(
      [&overrides](int portNumber) { return overrides.DevicePathFor(portNumber); });

  ampelon::Form1 window(clock, serial, settings, FindStartupPaths());
  window.Load();
  ampelon::CloseOnTerminationSignals(window);
  window.show();
  return QApplication::exec();
}
