// Starts the real program with private settings and runtime folders.
#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "history/charge_library.h"
#include "history/readings_hash.h"
#include "serial/pseudo_terminal.h"
#include "viewer/journal_follower.h"

namespace {

using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QThread::msleep(20);
  }
  return true;
}

class AppProcessTest : public ::testing::Test {
 protected:
  AppProcessTest() {
    QFile::setPermissions(RuntimeFolder(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  ~AppProcessTest() override { EndProcesses(); }

  void EndProcesses() {
    for (auto& process : m_processes) {
      if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(3000);
      }
    }
  }

  QString RuntimeFolder() const { return m_folder.path(); }
  QString SettingsFile() const {
    return m_folder.filePath(QStringLiteral("config/Trevanix Ampelon/settings.ini"));
  }
  QString SettingsText() const {
    QFile file(SettingsFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }
  void WriteSettings(const QByteArray& text) {
    QDir().mkpath(QFileInfo(SettingsFile()).path());
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  QString LastPathSetting() const {
    const QString text = SettingsText();
    const QString key = QStringLiteral("Last%20Path=\"");
    const qsizetype start = text.indexOf(key);
    return start < 0 ? QString() : text.mid(start).section(QLatin1Char('"'), 1, 1);
  }
  // What `process` has written to its standard error stream so far. Without an event loop a
  // QProcess reads its pipes only while it waits.
  static QString ErrorText(QProcess& process) {
    process.waitForReadyRead(25);
    const QString text =
        process.property("errors").toString() + QString::fromUtf8(process.readAllStandardError());
    process.setProperty("errors", text);
    return text;
  }
  QString WriteLog(const QString& name, const QByteArray& text) {
    const QString path = m_folder.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
  }

  // Without `display` the program gets no display at all, not even the offscreen one.
  QProcess& Start(const QStringList& arguments = {}, const QString& workingFolder = {},
                  bool display = true, const QString& program = QStringLiteral(AMPELON_PROGRAM)) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (display) {
      environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       m_folder.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeFolder());
    environment.insert(QStringLiteral("XDG_STATE_HOME"),
                       m_folder.filePath(QStringLiteral("state")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder.filePath(QStringLiteral("data")));
    // No test reaches the desktop of the person running it: both buses are missing unless a
    // test starts its own.
    const QString noBus =
        QStringLiteral("unix:path=") + m_folder.filePath(QStringLiteral("no-bus"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), noBus);
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), noBus);
    for (const auto& [name, value] : m_extraEnvironment) environment.insert(name, value);
    for (const QString& name : m_unsetEnvironment) environment.remove(name);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(workingFolder);
    // Messages are also written to the standard error stream, where tests read them.
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setReadChannel(QProcess::StandardError);
    process->start(program, arguments);
    EXPECT_TRUE(process->waitForStarted(5000));
    m_processes.push_back(std::move(process));
    return *m_processes.back();
  }

  // Settings are read and stored at load, and the port scan may write the port number a few
  // times: once the file holds the port settings and has stopped changing, the program is up.
  bool WaitUntilLoaded() {
    QString last;
    int stableChecks = 0;
    return WaitFor(
        [&] {
          const QString text = SettingsText();
          stableChecks = text == last ? stableChecks + 1 : 0;
          last = text;
          return text.contains(QStringLiteral("Baud%20Rate")) && stableChecks >= 15;
        },
        10s);
  }

  static void Terminate(QProcess& process) {
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    EXPECT_TRUE(process.waitForFinished(5000));
  }

  QTemporaryDir m_folder;
  std::vector<std::pair<QString, QString>> m_extraEnvironment;
  QStringList m_unsetEnvironment;
  std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(AppProcessTest, FirstRunOnAnEmptySettingsFolderCreatesAllEightSettings) {
  QProcess& program = Start();
  ASSERT_TRUE(WaitUntilLoaded());
  const QString text = SettingsText();
  for (const char* key : {"Last%20Path=", "Window%20Left=\"4000\"", "Window%20Top=\"3000\"",
                          "Window%20Width=\"8000\"", "Window%20Height=\"8000\"", "Range=\"0.3\"",
                          "Serial%20Port%20Number=", "Serial%20Port%20Baud%20Rate=\"19200\""}) {
    EXPECT_TRUE(text.contains(QString::fromLatin1(key))) << key << "\n" << text.toStdString();
  }
  Terminate(program);
}

TEST_F(AppProcessTest, SecondCopyEndsAtOnceTouchingNothing) {
  QProcess& first = Start();
  ASSERT_TRUE(WaitUntilLoaded());
  const QString before = SettingsText();
  const QDateTime modified = QFileInfo(SettingsFile()).lastModified();

  QProcess& second = Start();
  ASSERT_TRUE(second.waitForFinished(5000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(SettingsText(), before);
  EXPECT_EQ(QFileInfo(SettingsFile()).lastModified(), modified);
  EXPECT_EQ(first.state(), QProcess::Running);
  Terminate(first);
}

TEST_F(AppProcessTest, OfTwoCopiesStartedTogetherExactlyOneRuns) {
  QProcess& one = Start();
  QProcess& other = Start();
  // Without an event loop a QProcess learns that it ended only inside waitForFinished().
  const auto ended = [](QProcess& process) {
    return process.state() == QProcess::NotRunning || process.waitForFinished(25);
  };
  ASSERT_TRUE(WaitFor([&] { return ended(one) || ended(other); }, 5s));
  QProcess& survivor = ended(one) ? other : one;
  QProcess& refused = ended(one) ? one : other;
  EXPECT_FALSE(survivor.waitForFinished(500));
  EXPECT_EQ(refused.exitCode(), 0);
}

TEST_F(AppProcessTest, GeometryRoundTripsThroughARestart) {
  WriteSettings(
      "[General]\nWindow%20Left=\"4001\"\nWindow%20Top=\"-60\"\nWindow%20Width=\"9001\"\n"
      "Window%20Height=\"8123\"\n");
  for (int run = 0; run < 2; ++run) {
    QProcess& program = Start();
    ASSERT_TRUE(WaitUntilLoaded());
    Terminate(program);
    const QString text = SettingsText();
    EXPECT_TRUE(text.contains(QStringLiteral("Window%20Left=\"4001\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Window%20Top=\"-60\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Window%20Width=\"9001\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Window%20Height=\"8123\""))) << text.toStdString();
  }
}

// The charger sends 100 readings a second and goes on sending while the run ends, killed or
// with its window closed (SIGTERM closes it as the user does). The journal keeps every reading
// it held, and the next start sets all of them aside: after a close, the readings that still
// arrived once emptied the journal down to the last few.
TEST_F(AppProcessTest, EveryJournalledReadingOfARunEndedUnsavedIsSetAsideAtTheNextStart) {
  ampelon::testing::PseudoTerminal charger;
  ASSERT_TRUE(charger.IsValid());
  const QString stateFolder = m_folder.filePath(QStringLiteral("state/Trevanix Ampelon"));
  for (const bool closeWindow : {false, true}) {
    SCOPED_TRACE(closeWindow ? "window closed" : "killed");
    QDir(stateFolder).removeRecursively();
    WriteSettings("[General]\nSerial%20Port%20Number=\"2\"\n[Ports]\nCOM2=" +
                  QByteArray::fromStdString(charger.SlavePath()) + "\n");
    QProcess& first = Start();
    ASSERT_TRUE(WaitUntilLoaded());
    std::string sent;  // as the journal writes it
    int reading = 0;
    const auto sendOne = [&] {
      const std::string line = std::to_string(2000 + reading++ % 300);
      if (charger.WriteSome(line + "\n") == line.size() + 1) sent += line + "\r\n";
    };
    for (int i = 0; i < 400; ++i, QThread::msleep(10)) sendOne();
    QFile journal(stateFolder + QStringLiteral("/charge-journal.log"));
    const qint64 held = journal.size();
    ::kill(static_cast<pid_t>(first.processId()), closeWindow ? SIGTERM : SIGKILL);
    while (!first.waitForFinished(10)) sendOne();
    ASSERT_GT(held, 1000);
    ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
    const std::string kept = journal.readAll().toStdString();
    journal.close();
    EXPECT_GE(static_cast<qint64>(kept.size()), held);
    EXPECT_TRUE(sent.starts_with(kept)) << kept.size() << " of " << sent.size();

    QProcess& second = Start();
    std::string messages;
    ASSERT_TRUE(WaitFor(
        [&] {
          second.waitForReadyRead(25);
          messages += second.readAllStandardError().toStdString();
          return messages.find("File > Load Graph opens them.") != std::string::npos;
        },
        10s))
        << messages;
    const auto lines = std::count(kept.begin(), kept.end(), '\n');
    EXPECT_NE(messages.find("ampelon: " + std::to_string(lines) + " readings from the charge of "),
              std::string::npos)
        << messages;
    const QStringList recovered =
        QDir(stateFolder).entryList({QStringLiteral("recovered-*.log")}, QDir::Files);
    ASSERT_EQ(recovered.size(), 1);
    QFile setAside(stateFolder + QLatin1Char('/') + recovered.front());
    ASSERT_TRUE(setAside.open(QIODevice::ReadOnly));
    EXPECT_EQ(setAside.readAll().toStdString(), kept);
    // ... and is found in the charge library by its readings, in the background.
    std::vector<std::int16_t> counts;
    std::istringstream keptLines(kept);
    for (std::string line; std::getline(keptLines, line);) {
      counts.push_back(static_cast<std::int16_t>(std::stoi(line)));
    }
    ampelon::ReadingsHash hash;
    hash.Feed(counts);
    const auto library = m_folder.filePath(QStringLiteral("data/Trevanix Ampelon/charges.sqlite"));
    EXPECT_TRUE(WaitFor(
        [&] {
          ampelon::Result<ampelon::ChargeLibrary> opened =
              ampelon::ChargeLibrary::Open(library.toStdString());
          const auto found = opened ? opened->Find(hash.Value(), 0) : std::nullopt;
          return found && found->has_value() &&
                 (*found)->path ==
                     (stateFolder + QLatin1Char('/') + recovered.front()).toStdString();
        },
        10s));
    // Killed while its message was open: the next start tells of that charge again.
    ::kill(static_cast<pid_t>(second.processId()), SIGKILL);
    ASSERT_TRUE(second.waitForFinished(5000));
    QProcess& third = Start();
    const QString told = recovered.front() + "; File > Load Graph opens them.";
    EXPECT_TRUE(WaitFor([&] { return ErrorText(third).contains(told); }, 10s))
        << ErrorText(third).toStdString();
    Terminate(third);
  }
}

// The viewer follows the charge (here its follower, in this process) through two loads in a
// row; then the readings resume. What it follows is what a fresh look at the journal finds,
// times and all: the second load's times, empty lines as the first's were, once looked like
// more of them, and the charge lost its times for good.
TEST_F(AppProcessTest, AFollowedChargeIsWhatAFreshLookFindsAfterTwoLoadsInARow) {
  ampelon::testing::PseudoTerminal charger;
  ASSERT_TRUE(charger.IsValid());
  WriteSettings("[General]\nSerial%20Port%20Number=\"2\"\n[Ports]\nCOM2=" +
                QByteArray::fromStdString(charger.SlavePath()) + "\n");
  const std::filesystem::path state =
      m_folder.filePath(QStringLiteral("state/Trevanix Ampelon")).toStdString();
  using Follower = ampelon::JournalFollower;
  Follower followed(state / "charge-journal.log", state / "charge-journal.times");
  // Once a fresh look finds `readings`, the followed charge is polled, as the viewer's next poll
  // after a load would.
  std::unique_ptr<Follower> fresh;
  const auto settle = [&](std::size_t readings) {
    const auto found = [&] {
      fresh =
          std::make_unique<Follower>(state / "charge-journal.log", state / "charge-journal.times");
      return fresh->Poll(), fresh->GetCharge().counts.size() == readings;
    };
    return WaitFor(found, 10s) && (followed.Poll(), true);
  };
  QProcess& program = Start();
  ASSERT_TRUE(WaitUntilLoaded());
  for (const QByteArray& log : {QByteArray("100\r\n200\r\n300\r\n"),
                                QByteArray("1000\r\n1100\r\n1200\r\n1300\r\n1400\r\n")}) {
    ASSERT_TRUE(Start({WriteLog(QStringLiteral("load.log"), log)}).waitForFinished(5000));
    ASSERT_TRUE(settle(static_cast<std::size_t>(log.count('\n'))));
  }
  for (int i = 0; i < 12; ++i, QThread::msleep(20)) ASSERT_EQ(charger.WriteSome("2000\n"), 5u);
  ASSERT_TRUE(settle(17));
  for (int poll = 0; poll < 4; ++poll) followed.Poll();
  EXPECT_EQ(followed.GetCharge().counts, fresh->GetCharge().counts);
  // The same times, unknown (NaN) for the loaded readings, and known for the twelve.
  const std::vector<double>& times = followed.GetCharge().seconds;
  const std::vector<double>& freshTimes = fresh->GetCharge().seconds;
  EXPECT_TRUE(
      std::equal(times.begin(), times.end(), freshTimes.begin(), freshTimes.end(),
                 [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }));
  EXPECT_EQ(std::count_if(times.begin(), times.end(), [](double t) { return t >= 0; }), 12);
  Terminate(program);
}

// --help and --version answer before any window exists, so they work without a display, and
// they leave the settings alone.
TEST_F(AppProcessTest, HelpAndVersionNeedNoDisplay) {
  const struct {
    const char* option;
    std::vector<const char*> says;
  } cases[] = {{"--help", {"Usage: ampelon [FILE]", "FILE", "--help", "--version"}},
               {"--version", {"Ampelon " AMPELON_VERSION "\n"}}};
  for (const auto& c : cases) {
    QProcess& program = Start({QString::fromLatin1(c.option)}, {}, false);
    ASSERT_TRUE(program.waitForFinished(5000)) << c.option;
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << c.option;
    EXPECT_EQ(program.exitCode(), 0) << c.option << ErrorText(program).toStdString();
    const QString text = QString::fromUtf8(program.readAllStandardOutput());
    for (const char* part : c.says) {
      EXPECT_TRUE(text.contains(QString::fromLatin1(part))) << c.option << "\n"
                                                            << text.toStdString();
    }
  }
  EXPECT_FALSE(QFileInfo::exists(SettingsFile()));
}

TEST_F(AppProcessTest, AMistypedCommandLineEndsWithStatusTwoAndNoWindow) {
  const std::vector<QStringList> cases = {{QStringLiteral("--bogus")},
                                          {QStringLiteral("one.log"), QStringLiteral("two.log")},
                                          {QStringLiteral("-platform"), QStringLiteral("xcb")}};
  for (const QStringList& arguments : cases) {
    QProcess& program = Start(arguments);
    ASSERT_TRUE(program.waitForFinished(5000)) << arguments.join(u' ').toStdString();
    EXPECT_EQ(program.exitCode(), 2) << arguments.join(u' ').toStdString();
    EXPECT_TRUE(ErrorText(program).contains(QStringLiteral("Usage: ampelon")))
        << ErrorText(program).toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(SettingsFile()));
}

// A graph log named on the command line loads as File > Load Graph would load it. Only a file
// that loads makes its folder the one the file dialog opens in.
TEST_F(AppProcessTest, AFileOnTheCommandLineIsLoadedAtStartUp) {
  WriteSettings("[General]\nLast%20Path=\"/before/\"\n");
  const QString good = WriteLog(QStringLiteral("logs/good.log"), "100\r\n200\r\n");
  QProcess& loading = Start({good});
  EXPECT_TRUE(WaitFor([&] { return LastPathSetting() == QFileInfo(good).path() + u'/'; }, 5s))
      << LastPathSetting().toStdString();
  EXPECT_FALSE(ErrorText(loading).contains(QStringLiteral("ampelon:")))
      << ErrorText(loading).toStdString();
  Terminate(loading);

  WriteSettings("[General]\nLast%20Path=\"/before/\"\n");
  const QString missing = m_folder.filePath(QStringLiteral("logs/missing.log"));
  QProcess& failing = Start({missing});
  const QString message = QStringLiteral("ampelon: Could not open ") + missing + u':';
  EXPECT_TRUE(WaitFor([&] { return ErrorText(failing).contains(message); }, 5s))
      << ErrorText(failing).toStdString();
  EXPECT_EQ(LastPathSetting(), QStringLiteral("/before/"));
  Terminate(failing);

  // Names that are no UTF-8, the file's and the journal folder's, are used as their bytes. Text
  // cannot hold them, so a shell turns the octal escapes into bytes.
  const std::string folder = QFile::encodeName(m_folder.path()).toStdString();
  std::ofstream(folder + "/logs/bad\377.log", std::ios::binary) << "300\r\n";
  QProcess& rawNames = Start(
      {QStringLiteral("-c"),
       QStringLiteral(R"sh(XDG_STATE_HOME=$(printf %b "$1") exec "$0" "$(printf %b "$2")")sh"),
       QStringLiteral(AMPELON_PROGRAM), m_folder.filePath(QStringLiteral("st\\377ate")),
       m_folder.filePath(QStringLiteral("logs/bad\\377.log"))},
      {}, true, QStringLiteral("/bin/sh"));
  EXPECT_TRUE(WaitFor([&] { return LastPathSetting() == QFileInfo(good).path() + u'/'; }, 5s))
      << ErrorText(rawNames).toStdString();
  const std::string journal = folder + "/st\377ate/Trevanix Ampelon/charge-journal.log";
  EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(journal); }, 5s));
  EXPECT_FALSE(ErrorText(rawNames).contains(QStringLiteral("ampelon:")))
      << ErrorText(rawNames).toStdString();
  Terminate(rawNames);
}

// A second copy given a file (here relative to its own folder) hands it to the running copy and
// ends; the running copy loads it. What else reaches the socket is ignored: had it been taken
// for a file, its message box would hold back the real one.
TEST_F(AppProcessTest, ASecondCopyHandsItsFileToTheRunningCopy) {
  QProcess& first = Start();
  ASSERT_TRUE(WaitUntilLoaded());
  for (const QByteArray& junk : {QByteArray("relative.log\n"), QByteArray("/\xff\xfe.log\n"),
                                 QByteArray("/") + QByteArray(70000, 'x')}) {
    QLocalSocket socket;
    socket.connectToServer(RuntimeFolder() + QStringLiteral("/ampelon.socket"));
    ASSERT_TRUE(socket.waitForConnected(2000)) << socket.errorString().toStdString();
    socket.write(junk);
    EXPECT_TRUE(socket.waitForBytesWritten(2000));
    socket.disconnectFromServer();
  }
  const QString log = WriteLog(QStringLiteral("handed/run.log"), "1\r\n2\r\n");
  QProcess& second = Start({QStringLiteral("run.log")}, QFileInfo(log).path());
  ASSERT_TRUE(second.waitForFinished(5000));
  EXPECT_EQ(second.exitCode(), 0) << ErrorText(second).toStdString();
  EXPECT_TRUE(WaitFor([&] { return LastPathSetting() == QFileInfo(log).path() + u'/'; }, 5s))
      << LastPathSetting().toStdString() << ErrorText(first).toStdString();
  EXPECT_FALSE(ErrorText(first).contains(QStringLiteral("ampelon:")))
      << ErrorText(first).toStdString();
  Terminate(first);
}

// The copy that holds the lock may not listen yet (it is still starting): a second copy given
// a file keeps trying until it does, then hands over the file's absolute path. A connection
// cut without the answer, as by a copy that is closing, took nothing: the second copy tries
// again rather than end as if it had handed the file over.
TEST_F(AppProcessTest, ASecondCopyWaitsForTheRunningCopyToListenAndTakeTheFile) {
  QLockFile lock(RuntimeFolder() + QStringLiteral("/ampelon.lock"));
  ASSERT_TRUE(lock.tryLock(0));
  const QString log = WriteLog(QStringLiteral("logs/run.log"), "1\r\n");
  QProcess& second = Start({QStringLiteral("run.log")}, QFileInfo(log).path());
  EXPECT_FALSE(second.waitForFinished(500)) << "gave up at once";

  QLocalServer server;
  ASSERT_TRUE(server.listen(RuntimeFolder() + QStringLiteral("/ampelon.socket")));
  ASSERT_TRUE(server.waitForNewConnection(3000));
  QLocalSocket* cut = server.nextPendingConnection();
  EXPECT_TRUE(WaitFor([&] { return cut->waitForReadyRead(25), cut->canReadLine(); }, 3s));
  cut->abort();
  ASSERT_TRUE(server.waitForNewConnection(3000));
  QLocalSocket* socket = server.nextPendingConnection();
  QByteArray received;
  EXPECT_TRUE(WaitFor(
      [&] {
        socket->waitForReadyRead(25);
        received += socket->readAll();
        return received.endsWith('\n');
      },
      3s));
  EXPECT_EQ(received, log.toUtf8() + '\n');
  socket->write("taken\n");
  EXPECT_TRUE(socket->waitForBytesWritten(1000));
  ASSERT_TRUE(second.waitForFinished(3000));
  EXPECT_EQ(second.exitCode(), 0) << ErrorText(second).toStdString();
}

// The program in a private X server, where the test closes its message boxes with xdotool as a
// person would; the charger on a pseudo-terminal.
class DisplayProcessTest : public AppProcessTest {
 protected:
  DisplayProcessTest() {
    m_server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    EXPECT_TRUE(m_server.waitForReadyRead(10000));
    m_display = ":" + QString::fromLatin1(m_server.readLine().trimmed());
    m_extraEnvironment = {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", m_display}};
    WriteSettings("[General]\nSerial%20Port%20Number=\"2\"\n[Ports]\nCOM2=" +
                  QByteArray::fromStdString(m_charger.SlavePath()) + "\n");
  }
  ~DisplayProcessTest() override {
    EndProcesses();  // before their X server
    m_server.terminate();
    m_server.waitForFinished(3000);
  }

  // xdotool's output on the private display; nothing when it failed or took over 10 s.
  std::optional<QString> Xdotool(const QStringList& arguments) {
    QProcess xdotool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display);
    xdotool.setProcessEnvironment(environment);
    xdotool.start("xdotool", arguments);
    if (!xdotool.waitForFinished(10000) || xdotool.exitCode() != 0) return std::nullopt;
    return QString::fromLatin1(xdotool.readAllStandardOutput()).section('\n', 0, 0);
  }
  // Presses Return, the OK, in the message box ("Ampelon" titles each) and waits until it closed.
  bool CloseMessageBox() {
    const QStringList box = {"search", "--onlyvisible", "--name", "^Ampelon$"};
    const std::optional<QString> window = Xdotool(QStringList{"search", "--sync"} + box.mid(1));
    return window && Xdotool({"windowfocus", "--sync", *window}) && Xdotool({"key", "Return"}) &&
           WaitFor([&] { return !Xdotool(box); }, 5s);
  }
  QString StateFile(const QString& name) const {
    return m_folder.filePath("state/Trevanix Ampelon/" + name);
  }
  static std::string FileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
  }

  QProcess m_server;
  QString m_display;
  ampelon::testing::PseudoTerminal m_charger;
};

// Readings that arrive while Load Graph's report is open belong to the charge and were never
// saved: after OK and a close they are still in the journal. They used to be counted saved once
// the box closed, and the journal was removed at the end.
TEST_F(DisplayProcessTest, ReadingsThatArriveWhileALoadIsReportedStayInTheJournal) {
  QProcess& program = Start({WriteLog("skip.log", "100\r\n70000\r\n200\r\n")});
  ASSERT_TRUE(WaitFor([&] { return ErrorText(program).contains("1 line was skipped"); }, 10s));
  std::string sent;
  for (int reading = 2000; reading < 2010; ++reading, QThread::msleep(100)) {
    ASSERT_EQ(m_charger.WriteSome(std::to_string(reading) + "\n"), 5u);
    sent += std::to_string(reading) + "\r\n";
  }
  ASSERT_TRUE(
      WaitFor([&] { return FileText(StateFile("charge-journal.log")).ends_with(sent); }, 5s));
  ASSERT_TRUE(CloseMessageBox());
  Terminate(program);
  EXPECT_EQ(FileText(StateFile("charge-journal.log")), "100\r\n200\r\n" + sent);
  EXPECT_FALSE(QFileInfo::exists(StateFile("charge-journal.saved")));
}

// Five recovered charges dated ahead of the clock (a clock set back, files copied with their
// times) once made the charge just set aside the oldest, and it was removed before its message
// named it. It stays; a charge older than a month goes once the message has been closed.
TEST_F(DisplayProcessTest, TheChargeJustSetAsideOutlivesItsMessage) {
  const auto write = [&](const QString& name, int days) {
    QFile file(WriteLog("state/Trevanix Ampelon/" + name, "5\r\n"));
    EXPECT_TRUE(file.open(QIODevice::Append));
    file.setFileTime(QDateTime::currentDateTime().addDays(days), QFileDevice::FileModificationTime);
    return file.fileName();
  };
  QStringList ahead;
  for (int day = 1; day <= 5; ++day)
    ahead << write(QString("recovered-2030-01-0%1.log").arg(day), day);
  const QString old = write("recovered-2020-01-01.log", -40);
  write("charge-journal.log", 0);
  QProcess& program = Start();
  const QString end = "; File > Load Graph opens it.";
  ASSERT_TRUE(WaitFor([&] { return ErrorText(program).contains(end); }, 10s));
  const QString kept = ErrorText(program).section("It is kept in ", 1).section(end, 0, 0);
  EXPECT_EQ(FileText(kept), "5\r\n") << kept.toStdString();
  ASSERT_TRUE(CloseMessageBox());
  EXPECT_TRUE(WaitFor([&] { return !QFileInfo::exists(old); }, 5s));
  EXPECT_EQ(FileText(kept), "5\r\n");
  for (const QString& path : ahead) EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
  Terminate(program);
}

// Unset, the runtime folder is runtime-<user> in the temporary folder, which Qt refuses when it
// is not the user's own (a link here, another user's folder alike); one too deep for the
// socket's name serves no better. The lock and the socket then go to a private folder in the
// temporary folder (/tmp for a relative $TMPDIR); where that is taken too, the program says
// why it stops.
TEST_F(AppProcessTest, WithoutAUsableRuntimeFolderTheLockMovesToAPrivateFolder) {
  const QString temporary = m_folder.path();
  const QString user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
  ASSERT_TRUE(QFile::link(temporary, temporary + QStringLiteral("/runtime-") + user));
  const QString longRuntime = temporary + u'/' + QString(100, u'r');
  ASSERT_TRUE(QDir().mkpath(longRuntime));
  ASSERT_TRUE(
      QFile::setPermissions(longRuntime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  const QString owned = "/ampelon-" + QString::number(::geteuid());
  const struct {
    QString runtime;  // empty: as if unset
    QString tmpdir;
    QString privateFolder;
  } cases[] = {{{}, temporary, temporary + owned},
               {longRuntime, temporary, temporary + owned},
               {longRuntime, QStringLiteral("relative/tmp"), "/tmp" + owned}};
  int row = 0;
  for (const auto& [runtime, tmpdir, privateFolder] : cases) {
    SCOPED_TRACE(++row);
    m_extraEnvironment = {{"TMPDIR", tmpdir}, {"XDG_RUNTIME_DIR", runtime}};
    QProcess& first = Start();
    ASSERT_TRUE(WaitUntilLoaded()) << ErrorText(first).toStdString();
    EXPECT_TRUE(QFileInfo::exists(privateFolder + QStringLiteral("/ampelon.lock")));
    const QString log = WriteLog("handed" + QString::number(row) + "/run.log", "1\r\n");
    QProcess& second = Start({log});
    ASSERT_TRUE(second.waitForFinished(7000));
    EXPECT_EQ(second.exitCode(), 0) << ErrorText(second).toStdString();
    EXPECT_TRUE(WaitFor([&] { return LastPathSetting() == QFileInfo(log).path() + u'/'; }, 5s));
    Terminate(first);
  }

  const QString privateFolder = temporary + owned;
  ASSERT_TRUE(QDir(privateFolder).removeRecursively());
  ASSERT_TRUE(QFile::link(temporary, privateFolder));
  m_extraEnvironment = {{"TMPDIR", temporary}, {"XDG_RUNTIME_DIR", ""}};
  QProcess& refused = Start();
  const QString reason = privateFolder + " is not a folder).";
  EXPECT_TRUE(WaitFor([&] { return ErrorText(refused).contains(reason); }, 5s))
      << ErrorText(refused).toStdString();
}

// A copy started without the runtime folder of the running one does not see its instance lock;
// the journal's own lock ends it, with a message. It once removed the running copy's journal
// (saved: a file was loaded), whose later readings went into a deleted file.
TEST_F(AppProcessTest, ACopyWithAnotherRuntimeFolderLeavesTheRunningCopysJournalAlone) {
  QProcess& first = Start({WriteLog(QStringLiteral("logs/loaded.log"), "100\r\n200\r\n")});
  const QString state = m_folder.filePath(QStringLiteral("state/Trevanix Ampelon/"));
  ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(state + "charge-journal.saved"); }, 5s));
  m_extraEnvironment = {{"XDG_RUNTIME_DIR", ""}, {"TMPDIR", m_folder.path()}};
  QProcess& second = Start();
  const QString told = QStringLiteral("Ampelon is already running, but started with another");
  EXPECT_TRUE(WaitFor([&] { return ErrorText(second).contains(told); }, 5s))
      << ErrorText(second).toStdString();
  EXPECT_TRUE(QFileInfo::exists(state + "charge-journal.log"));
  Terminate(first);
}

// The program on a private session bus where a fake desktop records the notifications and the
// portal's inhibit calls; the charger on a pseudo-terminal; a stall after 2 s.
class WatchProcessTest : public AppProcessTest {
 protected:
  WatchProcessTest() {
    const QString bus = QStringLiteral("unix:path=") + m_folder.filePath(QStringLiteral("bus"));
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"), "--address=" + bus});
    EXPECT_TRUE(WaitFor([&] { return QFileInfo::exists(m_folder.filePath("bus")); }, 5s));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);
    m_desktop.setProcessEnvironment(environment);
    m_desktop.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(AMPELON_FAKE_DESKTOP), m_folder.filePath("calls.log")});
    EXPECT_TRUE(WaitFor([&] { return !Calls("ready").empty(); }, 10s));
    m_extraEnvironment = {{QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus},
                          {QStringLiteral("AMPELON_STALL_SECONDS"), QStringLiteral("2")}};
    // Through a link, so that a lost port cannot come back as another test's terminal that
    // took over the number of this one.
    EXPECT_TRUE(QFile::link(QString::fromStdString(m_charger.SlavePath()), DevicePath()));
    WriteSettings(
        "[General]\nSerial%20Port%20Number=\"2\"\n[Ports]\nCOM2=" + DevicePath().toUtf8() + "\n");
  }
  // The recorded calls of one kind (notifications: with that summary), oldest first.
  std::vector<QJsonObject> Calls(const char* kind, const char* summary = nullptr) const {
    QFile file(m_folder.filePath(QStringLiteral("calls.log")));
    std::vector<QJsonObject> calls;
    for (const QByteArray& line :
         file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>()) {
      const QJsonObject call = QJsonDocument::fromJson(line).object();
      if (call.value("call").toString() == QLatin1String(kind) &&
          (summary == nullptr || call.value("summary").toString() == QLatin1String(summary))) {
        calls.push_back(call);
      }
    }
    return calls;
  }
  QString DevicePath() const { return m_folder.filePath(QStringLiteral("device")); }
  bool WaitForCall(const char* kind, const char* summary, std::chrono::milliseconds timeout) {
    return WaitFor([&] { return !Calls(kind, summary).empty(); }, timeout);
  }

  ampelon::testing::PseudoTerminal m_charger;
  QProcess m_bus;  // a QProcess ends its process when it is destroyed
  QProcess m_desktop;
};

TEST_F(WatchProcessTest, LinesEndedByCrLfAreExplainedInOneNotification) {
  Start();
  ASSERT_TRUE(WaitUntilLoaded());
  std::string lines;
  for (int i = 0; i < 25; ++i) lines += "1023\r\n";
  ASSERT_EQ(m_charger.WriteSome(lines), lines.size());
  ASSERT_TRUE(WaitForCall("Notify", "No readings from the charger", 5s));
  ASSERT_EQ(m_charger.WriteSome(lines), lines.size());
  QThread::msleep(2500);
  const std::vector<QJsonObject> notices = Calls("Notify");
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].value("body").toString().toStdString(),
            "The charger ends its lines with CR LF; Ampelon reads lines that end with a line feed "
            "alone.");
  EXPECT_EQ(notices[0].value("app").toString(), QStringLiteral("Ampelon"));
  EXPECT_EQ(notices[0].value("icon").toString(), QStringLiteral("org.trevanix.Ampelon"));
  EXPECT_EQ(notices[0].value("entry").toString(), QStringLiteral("org.trevanix.Ampelon"));
  EXPECT_TRUE(Calls("Inhibit").empty());
}

// The note quotes a rejected line; a notice's body may hold markup, so the line comes escaped.
TEST_F(WatchProcessTest, ARejectedLineIsQuotedAsTextNotAsMarkup) {
  Start();
  ASSERT_TRUE(WaitUntilLoaded());
  std::string lines;
  for (int i = 0; i < 25; ++i) lines += "x<b>bold</b> &amp; 1<2\n";
  ASSERT_EQ(m_charger.WriteSome(lines), lines.size());
  ASSERT_TRUE(WaitForCall("Notify", "No readings from the charger", 5s));
  EXPECT_EQ(Calls("Notify").front().value("body").toString().toStdString(),
            "The lines received are not whole numbers, for example "
            "\"x&lt;b&gt;bold&lt;/b&gt; &amp;amp; 1&lt;2\".");
}

TEST_F(WatchProcessTest, ReadingsThatStopAndAPortThatStaysLostAreTold) {
  Start();
  ASSERT_TRUE(WaitUntilLoaded());
  ASSERT_EQ(m_charger.WriteSome("1500\n"), 5u);
  ASSERT_TRUE(WaitForCall("Inhibit", nullptr, 5s));
  const QJsonObject inhibit = Calls("Inhibit").front();
  EXPECT_EQ(inhibit.value("flags").toInt(), 12);
  EXPECT_EQ(inhibit.value("reason").toString(), QStringLiteral("A charge is being recorded"));

  ASSERT_TRUE(WaitForCall("Notify", "Readings stopped", 6s));
  ASSERT_EQ(m_charger.WriteSome("1600\n"), 5u);
  ASSERT_TRUE(WaitForCall("Notify", "Readings again", 3s));

  // Lost: the computer may sleep again at once; the notice waits 10 s for the port to return.
  const auto lost = std::chrono::steady_clock::now();
  QFile::remove(DevicePath());
  m_charger.CloseMaster();
  ASSERT_TRUE(WaitForCall("Close", nullptr, 3s));
  EXPECT_EQ(Calls("Close").front().value("handle"), inhibit.value("handle"));
  ASSERT_TRUE(WaitForCall("Notify", "Serial port 2 lost", 15s));
  EXPECT_GE(std::chrono::steady_clock::now() - lost, 10s);
  QThread::msleep(1500);
  EXPECT_EQ(Calls("Notify", "Serial port 2 lost").size(), 1u);
  EXPECT_EQ(Calls("Notify", "Readings stopped").size(), 1u);
}

// The simulated charger's charge of 2 h 45 min in 9.9 s, stopped until the program listens, with
// its times scaled alike: told complete once, at the curve's peak of 1.45 V at 2 h 30 min. The
// times are when the readings came, so a busy machine's delays count a thousandfold: the peak's
// time is taken within 8 minutes.
TEST_F(WatchProcessTest, TheSimulatedChargeIsToldCompleteOnce) {
  QFile::remove(DevicePath());
  QProcess charger;
  charger.start(AMPELON_CHARGER,
                {"--no-settings", "--link", DevicePath(), "--interval", "5", "--speed", "1000"});
  ASSERT_TRUE(charger.waitForReadyRead(5000));
  ::kill(static_cast<pid_t>(charger.processId()), SIGSTOP);
  m_extraEnvironment.emplace_back("AMPELON_CHARGE_TIME_SCALE", "1000");
  Start();
  ASSERT_TRUE(WaitUntilLoaded());
  ::kill(static_cast<pid_t>(charger.processId()), SIGCONT);
  ASSERT_TRUE(charger.waitForFinished(30000) && WaitForCall("Notify", "Charge complete", 3s));
  QThread::msleep(500);
  const std::vector<QJsonObject> told = Calls("Notify", "Charge complete");
  ASSERT_EQ(told.size(), 1u);
  const QString body = told[0].value("body").toString();
  const auto peak =
      QRegularExpression(R"(peaked at 1\.4(\d\d) V after 2 h (\d\d) min)").match(body);
  EXPECT_TRUE(peak.hasMatch() && std::abs(peak.captured(1).toInt() - 50) <= 3 &&
              std::abs(peak.captured(2).toInt() - 30) <= 8)
      << body.toStdString();
}

}  // namespace
