#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include "app/command_line.h"
#include "app/instance_channel.h"
#include "app/instance_lock.h"
#include "app/pending_file_opener.h"
#include "app/termination_signals.h"
#include "common/system_clock.h"
#include "common/utf8_path.h"
#include "history/history_paths.h"
#include "journal/journal_lock.h"
#include "serial/port_override_file.h"
#include "settings/settings_store.h"
#include "ui/background_registrar.h"
#include "ui/main_controller.h"
#include "ui/qt/form1.h"
#include "ui/qt/journal_folder.h"
#include "ui/qt/native_path.h"
#include "ui/qt/qt_dialogs.h"
#include "watch/qt/desktop_notifier.h"
#include "watch/system_time_of_day.h"
#include "watch/unattended_watch.h"

#ifdef _WIN32
#include "serial/win/win32_serial_control.h"
#include "settings/registry_settings_backend.h"
#include "watch/win/execution_state_inhibitor.h"
#else
#include "serial/qt/qt_serial_control.h"
#include "settings/qt/ini_settings_backend.h"
#include "watch/qt/dbus_sleep_inhibitor.h"
#endif

namespace {

// The folder of the single-instance lock: the user's runtime folder (empty when Qt finds none
// usable). Windows has none (Qt names the profile folder itself), so there it is the program's
// local data folder, created when missing; the profile folder only if that cannot be made.
QString InstanceLockFolder() {
#ifdef _WIN32
  const QString folder = QString::fromStdString(ampelon::JournalFolder());
  if (QDir().mkpath(folder)) return folder;
#endif
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#ifndef _WIN32
  // Without $XDG_RUNTIME_DIR, Qt's runtime folder lies in a relative $TMPDIR taken from the
  // current folder, which differs from copy to copy.
  const QByteArray temporary = qgetenv("TMPDIR");
  if (!temporary.isEmpty() && !temporary.startsWith('/') &&
      runtime.startsWith(QDir::tempPath() + QLatin1Char('/'))) {
    return {};
  }
#endif
  // The socket beside the lock needs a name the system takes.
  return ampelon::InstanceChannel::FitsServerName(runtime) ? runtime : QString();
}

// Where the lock's private folder goes when the runtime folder cannot hold it: $TMPDIR when it
// names a folder by its absolute path, the same for every copy; else the system's own.
QString TemporaryFolder() {
  const QString temporary = QDir::tempPath();
#ifndef _WIN32
  if (!qgetenv("TMPDIR").startsWith('/') || !QDir::isAbsolutePath(temporary)) {
    return QStringLiteral("/tmp");
  }
#endif
  return temporary;
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
  return {(writable ? appPath : home).toStdString(), ampelon::JournalFolder()};
}

// The per-user settings file: the settings on systems without the registry, and the port
// overrides everywhere.
std::string SettingsFilePath() {
  return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
          QStringLiteral("/Trevanix Ampelon/settings.ini"))
      .toStdString();
}

// A second copy hands `file` to the copy that holds the lock. That copy may not listen yet
// (it is starting) or no more (it is ending), so this tries for a few seconds; when the lock
// comes free meanwhile, this copy runs instead. The exit code, or nothing when this copy runs.
std::optional<int> HandToRunningCopy(const QString& file, const QString& serverName,
                                     ampelon::InstanceLock& instanceLock) {
  using namespace std::chrono_literals;
  if (file.contains(QLatin1Char('\n'))) {
    std::fprintf(stderr,
                 "ampelon: a file name with a line break cannot be handed to the "
                 "running Ampelon\n");
    return 1;
  }
  const auto giveUp = std::chrono::steady_clock::now() + 5s;
  while (true) {
    const ampelon::Result<void> handed = ampelon::InstanceChannel::Send(serverName, file);
    if (handed) return 0;
    if (instanceLock.TryAgain()) return std::nullopt;
    if (std::chrono::steady_clock::now() > giveUp) {
      std::fprintf(stderr, "ampelon: could not hand %s to the running Ampelon: %s\n",
                   qUtf8Printable(file), handed.error().c_str());
      return 1;
    }
    QThread::msleep(100);
  }
}

// How long the watch waits before it tells of readings that stopped. AMPELON_STALL_SECONDS
// shortens the shortest such gap (60 s) for tests that cannot wait a minute;
// AMPELON_CHARGE_TIME_SCALE multiplies the times the charge is judged by, for tests whose
// simulated charger plays hours in seconds.
ampelon::WatchTimes WatchTimesFromEnvironment() {
  ampelon::WatchTimes times;
  bool valid = false;
  const double stall = qEnvironmentVariable("AMPELON_STALL_SECONDS").toDouble(&valid);
  if (valid && stall > 0.0) times.stallMinimumSeconds = stall;
  const double scale = qEnvironmentVariable("AMPELON_CHARGE_TIME_SCALE").toDouble(&valid);
  if (valid && scale > 0.0 && std::isfinite(scale)) times.chargeTimeScale = scale;
  return times;
}

// Shows the window above the others, also when it was minimized.
void BringToFront(QWidget& window) {
  window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.raise();
  window.activateWindow();
}

}  // namespace

int main(int argc, char* argv[]) {
  // Read before the application exists: --help and --version need no display, and a mistyped
  // command line ends here.
  const ampelon::Result<ampelon::CommandLine> commandLine = ampelon::ParseCommandLine(
      argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>());
  if (!commandLine) {
    std::fprintf(stderr, "ampelon: %s\n%s\n", commandLine.error().c_str(), ampelon::kUsageHint);
    return 2;
  }
  if (commandLine->action == ampelon::CommandLine::Action::kHelp) {
    std::fputs(ampelon::HelpText().c_str(), stdout);
    return 0;
  }
  if (commandLine->action == ampelon::CommandLine::Action::kVersion) {
    std::printf(
        "Ampelon %s\n"
        "Copyright (c) 2026 Trevanix\n"
        "\n"
        "Ampelon is free software under the MIT licence.\n",
        AMPELON_VERSION);
    return 0;
  }

  // Qt sees only the program's name: a file named like one of its options stays a file.
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("Ampelon"));
  // Lets the desktop match the window to its desktop entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.trevanix.Ampelon"));

  // A file named relative to the folder the program was started in, in the system's own bytes
  // (never through text, which would lose a name that is no UTF-8).
  const std::string file =
      commandLine->file.empty()
          ? std::string()
          : ampelon::Utf8FromPath(ampelon::PathFromArgument(commandLine->file.c_str()));

  // One copy at a time: a second one ends at once, silently, before touching anything; given a
  // file, it first hands it to the running one. A copy that cannot lock at all says why.
  const ampelon::Result<std::unique_ptr<ampelon::InstanceLock>> instanceLock =
      ampelon::InstanceLock::Take(InstanceLockFolder(), TemporaryFolder());
  if (!instanceLock) {
    ampelon::QtDialogs(nullptr).MessageBox(
        "Ampelon cannot start: it finds no folder of the user's own for the lock that lets one "
        "copy run at a time (" +
            instanceLock.error() + ").",
        "Trevanix Ampelon");
    return 1;
  }
  const QString serverName = ampelon::InstanceChannel::ServerName((*instanceLock)->Folder());
  if (!(*instanceLock)->Held()) {
    if (file.empty()) return 0;
    if (const std::optional<int> exitCode =
            HandToRunningCopy(QString::fromStdString(file), serverName, **instanceLock)) {
      return *exitCode;
    }
  }

  // Copies started with different runtime folders do not see each other's instance lock: only
  // the one that holds the journal's own lock may touch the journal's folder.
  const ampelon::Result<std::unique_ptr<ampelon::JournalLock>> journalLock =
      ampelon::JournalLock::Take(ampelon::PathFromUtf8(ampelon::JournalFolder()));
  if (journalLock && !*journalLock) {
    ampelon::QtDialogs(nullptr).MessageBox(
        "Ampelon is already running, but started with another runtime folder, so this copy "
        "cannot hand it a file or bring its window to the front. Use its window (File > Load "
        "Graph opens a graph log there), or close it and start Ampelon again.",
        "Trevanix Ampelon");
    return 1;
  }
  ampelon::StartupPaths paths = FindStartupPaths();
  if (!journalLock) paths.journalProblem = journalLock.error();

  const std::string settingsFile = SettingsFilePath();
#ifdef _WIN32
  ampelon::RegistrySettingsBackend settingsBackend;
#else
  ampelon::IniSettingsBackend settingsBackend(settingsFile);
#endif
  ampelon::SettingsStore settings(settingsBackend);
  ampelon::SystemClock clock;
  ampelon::PortOverrideFile overrides(settingsFile);
#ifdef _WIN32
  // The control reads on a thread of its own; its events come through the event loop.
  ampelon::Win32SerialControl serial(
      [](std::function<void()> task) {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
      },
      [&overrides](int portNumber) { return overrides.DevicePathFor(portNumber); });
#else
  ampelon::QtSerialControl serial(
      [&overrides](int portNumber) { return overrides.DevicePathFor(portNumber); });
#endif

  // Before the window, which holds the computer awake through it until its very end.
#ifdef _WIN32
  ampelon::ExecutionStateInhibitor inhibitor;
#else
  ampelon::DbusSleepInhibitor inhibitor;
#endif
  ampelon::SystemTimeOfDay timeOfDay;
  // Before the window, whose charges it still registers once the window has closed.
  ampelon::BackgroundRegistrar registrar(ampelon::ChargeLibraryPath());
  ampelon::Form1 window(clock, serial, settings, paths);
  window.Controller().SetChargeRegistrar(registrar);
  ampelon::DesktopNotifier notifier(window);
  window.Controller().StartWatch({notifier, inhibitor, timeOfDay, WatchTimesFromEnvironment()});
  ampelon::PendingFileOpener opener([&window](const std::string& path) {
    BringToFront(window);
    window.Controller().OnOpenFile(path);
  });
  if (!file.empty()) opener.Open(file);
  // Listening before the load, so that a second copy is not kept waiting by a message box
  // shown at start-up; what it hands over waits in the opener.
  ampelon::InstanceChannel channel([&opener](const QString& path) {
    opener.Open(ampelon::Utf8FromPath(ampelon::PathFromQt(path)));
  });
  if (const ampelon::Result<void> listening = channel.Listen(serverName); !listening) {
    std::fprintf(stderr, "ampelon: files given to later copies cannot be received: %s\n",
                 listening.error().c_str());
  }
  // A file handed over once the window closes would never be opened: a later copy is not
  // answered, and waits for this one to end to run in its place.
  window.SetClosingHandler([&channel] { channel.Stop(); });
  window.Load();
  ampelon::CloseOnTerminationSignals(window);
  window.show();
  opener.Start();
  return QApplication::exec();
}
