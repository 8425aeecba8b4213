#include "serial/qt/qt_serial_control.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFileInfo>
#include <QSerialPort>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "pseudo_terminal.h"
#include "serial_event_log.h"

namespace ampelon {
namespace {

using namespace std::chrono_literals;
using testing::PseudoTerminal;
using testing::SerialEventLog;
using testing::SpinFor;
using testing::SpinUntil;

constexpr auto kTimeout = 3s;

// A control whose port 7 is the test's pseudo-terminal.
class PtyControlTest : public ::testing::Test {
 protected:
  PtyControlTest() : m_control([this](int) { return m_pty.SlavePath(); }), m_log(m_control) {
    m_control.SetPortNumber(7);
    m_control.SetLineSettings("19200,n,8,1");
  }

  void SetUp() override { ASSERT_TRUE(m_pty.IsValid()) << "openpty failed"; }

  // Plays the device: writes everything, letting the program read meanwhile, and waits until
  // the program has received as many bytes as were sent.
  void SendAndWait(std::string_view bytes) {
    const std::size_t target = m_log.Received().size() + bytes.size();
    std::size_t sent = 0;
    const bool done = SpinUntil(
        [&] {
          sent += m_pty.WriteSome(bytes.substr(sent));
          return m_log.Received().size() >= target;
        },
        kTimeout);
    ASSERT_TRUE(done) << "received " << m_log.Received().size() << " of " << target;
  }

  bool WaitForPortLost() {
    return SpinUntil([this] { return m_log.Count(SerialEventKind::kPortLost) > 0; }, kTimeout);
  }

  PseudoTerminal m_pty;
  QtSerialControl m_control;
  SerialEventLog m_log;
};

TEST_F(PtyControlTest, DeliversEveryByteInOrderExactlyOnce) {
  std::string large(64 * 1024, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 % 251);
  const struct {
    std::string name;
    std::string bytes;
  } payloads[] = {
      {"reading", "12345\r\n"},
      {"NUL and high bytes", std::string("4\0"
                                         "2\xff\x80\r\n\0",
                                         8)},
      {"64 KiB", large},
  };
  ASSERT_TRUE(m_control.Open());
  std::string expected;
  for (const auto& payload : payloads) {
    SCOPED_TRACE(payload.name);
    SendAndWait(payload.bytes);
    expected += payload.bytes;
    EXPECT_TRUE(m_log.Received() == expected) << "bytes lost, doubled or reordered";
  }
  SpinFor(20ms);
  EXPECT_EQ(m_control.ReadReceivedText(), "") << "a byte was delivered twice";
  EXPECT_EQ(m_log.Count(SerialEventKind::kPortLost), 0);
}

TEST_F(PtyControlTest, FarEndClosingRaisesOnePortLostAndStopsTheErrorLoop) {
  ASSERT_TRUE(m_control.Open());
  m_pty.CloseMaster();
  ASSERT_TRUE(WaitForPortLost());
  const std::size_t eventsAtLoss = m_log.Events().size();
  EXPECT_FALSE(m_control.IsOpen());
  EXPECT_EQ(m_log.Events().back().reason,
            m_pty.SlavePath() + ": The device stopped answering; it may have been unplugged");

  // Qt keeps reporting the same error on a vanished device while the port stays open.
  const std::clock_t cpuBefore = std::clock();
  SpinFor(300ms);
  const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
  EXPECT_EQ(m_log.Events().size(), eventsAtLoss);
  EXPECT_EQ(m_log.Count(SerialEventKind::kPortLost), 1);
  EXPECT_LT(cpuMs, 150.0) << "the event loop is spinning";
}

TEST_F(PtyControlTest, BytesUnreadWhenThePortFailsStayReadable) {
  ASSERT_TRUE(m_control.Open());
  int received = 0;
  m_control.SetEventHandler([&received](const SerialEvent&) { ++received; });
  ASSERT_EQ(m_pty.WriteSome("3712\n"), 5u);
  ASSERT_TRUE(SpinUntil([&] { return received > 0; }, kTimeout));

  m_pty.CloseMaster();
  std::optional<SerialEvent> lost;
  m_control.SetEventHandler([&lost](const SerialEvent& event) { lost = event; });
  ASSERT_TRUE(SpinUntil([&] { return lost.has_value(); }, kTimeout));

  EXPECT_EQ(lost->kind, SerialEventKind::kPortLost);
  EXPECT_EQ(m_control.ReadReceivedText(), "3712\n");
  EXPECT_EQ(m_control.ReadReceivedText(), "");
}

TEST_F(PtyControlTest, ClosesQuietlyAndReopens) {
  ASSERT_TRUE(m_control.Open());
  const Result<void> second = m_control.Open();
  ASSERT_FALSE(second);
  EXPECT_FALSE(second.error().empty());
  EXPECT_TRUE(m_control.IsOpen()) << "a refused second open must not close the port";

  m_control.Close();
  m_control.Close();
  EXPECT_FALSE(m_control.IsOpen());
  SpinFor(20ms);
  EXPECT_TRUE(m_log.Events().empty()) << "closing is not a port failure";

  const Result<void> reopened = m_control.Open();
  ASSERT_TRUE(reopened) << reopened.error();
  SendAndWait("after reopen\n");
  EXPECT_EQ(m_log.Received(), "after reopen\n");
}

TEST_F(PtyControlTest, PortHeldByAnotherOpenerIsBusy) {
  ASSERT_TRUE(m_control.Open());
  QtSerialControl other([this](int) { return m_pty.SlavePath(); });
  const Result<void> result = other.Open();
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().rfind(m_pty.SlavePath() + ": ", 0), 0u) << result.error();
  EXPECT_TRUE(m_control.IsOpen());
}

TEST(QtSerialControlLinuxTest, PortNumberWithoutDeviceFails) {
  QtSerialControl control;
  control.SetPortNumber(13);
  const Result<void> result = control.Open();
  ASSERT_FALSE(result);
  EXPECT_NE(result.error().find("13"), std::string::npos) << result.error();
}

// A [Ports] entry may name any path. What is not a device fails at once and says what it is;
// Qt's open only named a failed terminal call.
TEST(QtSerialControlLinuxTest, OverridePathsThatAreNoDeviceSayWhatTheyAre) {
  QTemporaryDir folder;
  const std::string base = folder.path().toStdString();
  ASSERT_EQ(::mkfifo((base + "/pipe").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir((base + "/folder").c_str(), 0700), 0);
  ASSERT_TRUE(std::ofstream(base + "/charge.log") << "1500\n");
  const std::pair<std::string, std::string> cases[] = {
      {"/pipe", " is a named pipe (FIFO), not a serial device"},
      {"/charge.log", " is a regular file, not a serial device"},
      {"/folder", " is a folder, not a serial device"}};
  for (const auto& [name, reason] : cases) {
    QtSerialControl control([&base, &name](int) { return base + name; });
    control.SetLineSettings("19200,n,8,1");
    const Result<void> result = control.Open();
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), base + name + reason);
  }
}

// A program killed while holding the port leaves its lock file behind; the next open must take
// it over instead of reporting the port as busy forever.
TEST_F(PtyControlTest, OpensAPortWhoseOwnerWasKilled) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    QSerialPort port;
    port.setPortName(QString::fromStdString(m_pty.SlavePath()));
    if (!port.open(QIODevice::ReadOnly)) _exit(1);
    raise(SIGKILL);
    _exit(2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not open the port";
  // Qt keeps its lock in /var/lock, named after the device path with '/' turned into '_'.
  const QString lockFile =
      QStringLiteral("/var/lock/LCK..") +
      QString::fromStdString(m_pty.SlavePath().substr(std::string_view("/dev/").size()))
          .replace(QLatin1Char('/'), QLatin1Char('_'));
  if (!QFileInfo::exists(lockFile)) GTEST_SKIP() << "no lock file was left to take over";

  const Result<void> result = m_control.Open();
  EXPECT_TRUE(result) << result.error();
}

}  // namespace
}  // namespace ampelon
