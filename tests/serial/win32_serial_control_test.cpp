#include "serial/win/win32_serial_control.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "common/windows_api.h"

#include <gtest/gtest.h>

namespace ampelon {
namespace {

using namespace std::chrono_literals;
using std::chrono::steady_clock;

constexpr int kOverriddenPort = 3;

double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return static_cast<double>((ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

// The user-interface thread's queue: the control posts into it from its reading thread, the
// test runs the tasks.
class TaskQueue {
 public:
  void Post(std::function<void()> task) {
    const std::lock_guard lock(m_mutex);
    m_tasks.push_back(std::move(task));
    m_mostQueued = std::max(m_mostQueued, m_tasks.size());
  }
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
    for (const auto deadline = steady_clock::now() + timeout; !done();) {
      if (steady_clock::now() >= deadline) return false;
      std::deque<std::function<void()>> tasks;
      {
        const std::lock_guard lock(m_mutex);
        tasks.swap(m_tasks);
      }
      for (const auto& task : tasks) task();
      std::this_thread::sleep_for(2ms);
    }
    return true;
  }
  void RunFor(std::chrono::milliseconds duration) {
    RunUntil([] { return false; }, duration);
  }
  std::size_t MostQueued() {
    const std::lock_guard lock(m_mutex);
    return m_mostQueued;
  }

 private:
  std::mutex m_mutex;
  std::deque<std::function<void()>> m_tasks;
  std::size_t m_mostQueued = 0;
};

// The charger's end of a pair, written by the test.
class FarEnd {
 public:
  explicit FarEnd(int port)
      : m_handle(CreateFileW((L"\\\\.\\COM" + std::to_wstring(port)).c_str(), GENERIC_WRITE, 0,
                             nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~FarEnd() { Close(); }
  bool Write(std::string_view bytes) {
    DWORD written = 0;
    const auto size = static_cast<DWORD>(bytes.size());
    return WriteFile(m_handle, bytes.data(), size, &written, nullptr) && written == size;
  }
  void Close() {
    if (m_handle != INVALID_HANDLE_VALUE)
      CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE));
  }

 private:
  HANDLE m_handle;
};

// Runs against COM ports that scripts/test-windows wires to pseudo-terminal pairs under Wine.
class Win32SerialControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* ports = std::getenv("AMPELON_TEST_COM_PORTS");
    if (ports == nullptr || std::sscanf(ports, "%d,%d,%d,%d,%d", &m_program, &m_charger,
                                        &m_endingProgram, &m_endingCharger, &m_absent) != 5) {
      // Under Wine the pairs are always there: a missing list is a broken script, not a skip.
      if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
        FAIL() << "AMPELON_TEST_COM_PORTS is not set";
      }
      GTEST_SKIP() << "needs COM ports wired to pseudo-terminals (scripts/test-windows)";
    }
    m_control.SetLineSettings("19200,n,8,1");
    // Like the program: the received text is read once per event.
    m_control.SetEventHandler([this](const SerialEvent& event) {
      ++m_events;
      if (event.kind == SerialEventKind::kPortLost) ++m_losses;
      m_received += m_control.ReadReceivedText();
    });
  }

  // The lasting pair's ends; the ends of a pair that ends when its charger's end closes; a
  // port mapped to a missing path.
  int m_program = 0, m_charger = 0, m_endingProgram = 0, m_endingCharger = 0, m_absent = 0;
  TaskQueue m_tasks;  // outlives the control, which posts into it
  Win32SerialControl m_control{
      [this](std::function<void()> task) { m_tasks.Post(std::move(task)); },
      [this](int port) -> std::optional<std::string> {
        if (port != kOverriddenPort) return std::nullopt;
        return "\\\\.\\COM" + std::to_string(m_program);
      }};
  int m_events = 0;
  int m_losses = 0;
  std::string m_received;
};

// Pieces split at random points, with pauses shorter and longer than a read's wait, written
// while the test's thread runs no tasks.
TEST_F(Win32SerialControlTest, DeliversEveryByteOnceInOrderWithoutPilingUpNotices) {
  m_control.SetPortNumber(m_program);
  const Result<void> opened = m_control.Open();
  ASSERT_TRUE(opened) << opened.error();
  FarEnd charger(m_charger);
  std::string sent(48 * 1024, '\0');
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 % 251);
  std::mt19937 random(20261207);
  for (std::size_t at = 0; at < sent.size();) {
    const std::size_t piece = std::min<std::size_t>(sent.size() - at, random() % 4096 + 1);
    ASSERT_TRUE(charger.Write(std::string_view(sent).substr(at, piece)));
    at += piece;
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 80));
  }

  ASSERT_TRUE(m_tasks.RunUntil([&] { return m_received.size() >= sent.size(); }))
      << "received " << m_received.size() << " of " << sent.size();
  m_tasks.RunFor(200ms);
  EXPECT_TRUE(m_received == sent) << "bytes lost, doubled or reordered";
  EXPECT_EQ(m_control.ReadReceivedText(), "");
  EXPECT_EQ(m_losses, 0);
  EXPECT_EQ(m_tasks.MostQueued(), 1u) << "notices of received bytes piled up";
}

TEST_F(Win32SerialControlTest, FarEndGoingAwayIsOneLossThatKeepsTheBytesAndStopsReading) {
  std::optional<SerialEvent> loss;
  bool openDuringLoss = true;
  m_control.SetEventHandler([&](const SerialEvent& event) {
    ++m_events;  // reads nothing: the bytes stay in the control
    if (event.kind != SerialEventKind::kPortLost) return;
    ++m_losses;
    loss = event;
    openDuringLoss = m_control.IsOpen();
  });
  m_control.SetPortNumber(m_endingProgram);
  const Result<void> opened = m_control.Open();
  ASSERT_TRUE(opened) << opened.error();
  FarEnd charger(m_endingCharger);
  ASSERT_TRUE(charger.Write("3712\n"));
  ASSERT_TRUE(m_tasks.RunUntil([&] { return m_events > 0; }));

  charger.Close();
  ASSERT_TRUE(m_tasks.RunUntil([&] { return loss.has_value(); }));
  const double cpuAtLoss = ProcessCpuMs();
  m_tasks.RunFor(1s);
  EXPECT_LT(ProcessCpuMs() - cpuAtLoss, 250.0) << "still busy after the loss";
  EXPECT_EQ(m_losses, 1);
  const std::string device = "COM" + std::to_string(m_endingProgram) + ": ";
  EXPECT_EQ(loss->reason.rfind(device, 0), 0u) << loss->reason;
  EXPECT_FALSE(openDuringLoss);
  EXPECT_EQ(m_control.ReadReceivedText(), "3712\n");
  EXPECT_EQ(m_control.ReadReceivedText(), "");
}

TEST_F(Win32SerialControlTest, PortsWithoutADeviceFailToOpenWithAReason) {
  const struct {
    int port;
    std::string reasonStart;
  } cases[] = {
      {0, "No serial device belongs to port 0"},
      {INT_MIN, "No serial device belongs to port -2147483648"},
      {m_absent, "COM" + std::to_string(m_absent) + ": "},  // its device is missing
      {INT_MAX, "COM2147483647: "},                         // no such port
  };
  for (const auto& [port, reasonStart] : cases) {
    SCOPED_TRACE(port);
    m_control.SetPortNumber(port);
    const Result<void> result = m_control.Open();
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().rfind(reasonStart, 0), 0u) << result.error();
    // Windows' text ends in ".\r\n"; a reason for the user ends in neither, nor is it empty.
    EXPECT_EQ(std::string_view(" .\r\n").find(result.error().back()), std::string::npos)
        << result.error();
    EXPECT_FALSE(m_control.IsOpen());
  }
}

// Opened through a [Ports] override that names the device by its full path.
TEST_F(Win32SerialControlTest, ClosesPromptlyWhileBytesArriveAndOpensAgain) {
  const auto timedClose = [this] {
    const auto started = steady_clock::now();
    m_control.Close();
    return steady_clock::now() - started;
  };
  m_control.SetPortNumber(kOverriddenPort);
  ASSERT_TRUE(m_control.Open());
  FarEnd charger(m_charger);
  std::atomic<bool> writing = true;
  std::thread writer([&] {
    while (writing && charger.Write(std::string(512, '7'))) std::this_thread::sleep_for(5ms);
  });
  ASSERT_TRUE(m_tasks.RunUntil([&] { return !m_received.empty(); }));
  std::this_thread::sleep_for(150ms);  // more bytes, and a notice of them queued
  const auto closeTook = timedClose();
  m_control.Close();
  writing = false;
  writer.join();
  EXPECT_LT(closeTook, 500ms);
  const int eventsAtClose = m_events;
  m_tasks.RunFor(100ms);
  EXPECT_EQ(m_events, eventsAtClose) << "a notice queued before the close arrived";

  const Result<void> reopened = m_control.Open();
  ASSERT_TRUE(reopened) << reopened.error();
  EXPECT_FALSE(m_control.Open());
  EXPECT_TRUE(m_control.IsOpen()) << "a refused second open must not close the port";
  ASSERT_TRUE(charger.Write("after reopen\n"));
  EXPECT_TRUE(m_tasks.RunUntil([&] { return m_received.ends_with("after reopen\n"); }));
  EXPECT_LT(timedClose(), 500ms) << "closing a quiet port";
  EXPECT_EQ(m_losses, 0);
}

}  // namespace
}  // namespace ampelon
