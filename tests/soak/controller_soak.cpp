// A whole charge of 30 hours run through the window's logic in a few seconds: one reading a
// second from a simulated clock, 5 % malformed lines, the port lost once an hour, the graph saved
// every 6 hours. Checks at every hour that the charge time is right and that memory stays flat,
// and at the end that the store stopped at exactly 100000 readings with one notice.
// Prints one line per hour; exits 1 on the first broken rule.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

#include "fakes/fake_chart_labels.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_file_dialog.h"
#include "fakes/fake_graph_file_access.h"
#include "fakes/fake_label.h"
#include "fakes/fake_serial_control.h"
#include "fakes/fake_settings_backend.h"
#include "fakes/fake_window_geometry.h"
#include "settings/settings_store.h"
#include "ui/main_controller.h"

namespace {

std::uint64_t g_allocations = 0;
std::int64_t g_liveBlocks = 0;  // blocks allocated and not yet freed

}  // namespace

void* operator new(std::size_t size) {
  ++g_allocations;
  ++g_liveBlocks;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
  g_liveBlocks -= memory != nullptr;
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  g_liveBlocks -= memory != nullptr;
  std::free(memory);
}

namespace ampelon {
namespace {

using namespace testing;

constexpr int kHours = 30;
constexpr int kSecondsPerHour = 3600;

// A canvas that only counts: the soak is about the logic, not pixels.
class CountingCanvas final : public ChartCanvas {
 public:
  void SetSize(float widthTwips, float heightTwips) override {
    m_width = widthTwips;
    m_height = heightTwips;
  }
  float WidthTwips() const override { return m_width; }
  float HeightTwips() const override { return m_height; }
  float TopTwips() const override { return 1000.0f; }
  void SetChartUnits(const ChartUnits&) override {}
  void Clear() override {}
  void DrawLine(float, float, float, float, Colour) override {}
  void DrawPoints(std::span<const ChartPoint> points, Colour) override {
    m_points += points.size();
  }
  std::uint64_t Points() const { return m_points; }

 private:
  float m_width = 0.0f;
  float m_height = 0.0f;
  std::uint64_t m_points = 0;
};

// Resident memory in KiB, from the kernel's view of this process; 0 where it cannot be read.
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word) {
    if (word == "VmRSS:") {
      long kib = 0;
      status >> kib;
      return kib;
    }
  }
  return 0;
}

std::string ExpectedChargeTime(long seconds) {
  return std::to_string(seconds / 60) + " min, " + std::to_string(seconds % 60) + " sec";
}

int Fail(const std::string& what) {
  std::printf("FAIL: %s\n", what.c_str());
  return 1;
}

int RunSoak() {
  FakeClock clock(36000.0);
  FakeSerialControl serial;
  FakeSettingsBackend backend;
  SettingsStore settings(backend);
  CountingCanvas canvas;
  FakeWindowGeometry geometry;
  std::array<FakeLabel, 7> axis;
  FakeLabel value;
  FakeLabel time;
  FakeLabel status;
  FakeDialogs dialogs;
  FakeFileDialog fileDialog;
  FakeGraphFileAccess files;
  MainController controller(
      clock, serial, settings,
      MainController::Views{canvas, geometry, WireChartLabels(axis, value, time), status, dialogs,
                            fileDialog, files},
      StartupPaths{"/home/user/"});
  serial.SetEventHandler(
      [&controller](const SerialEvent& event) { controller.OnSerialEvent(event); });
  serial.AddWorkingPort(2);
  backend.Set("Serial Port Number", "2");
  controller.OnLoad();
  controller.OnResize();

  std::uint32_t noise = 12345;  // a fixed pseudo-random sequence, so every run is the same
  long sent = 0;
  long malformed = 0;
  long lost = 0;
  long lastGoodSecond = 0;  // the charge time runs to the latest well-formed line
  std::int64_t liveBlocksAtHour2 = 0;
  std::uint64_t allocationsAtHour2 = 0;
  std::uint64_t allocationsPerHour = 0;
  for (long second = 0; second < kHours * kSecondsPerHour; ++second) {
    noise = noise * 1103515245u + 12345u;
    const int reading = 1640 + static_cast<int>(second / 60 % 700);
    if (!serial.IsOpen()) {
      ++lost;  // the charger talks, but nobody listens until the port is back
    } else if ((noise >> 16) % 100 < 5) {
      serial.Receive(" 1" + std::to_string(reading) + ".5\n");
      ++malformed;
    } else {
      serial.Receive(std::to_string(reading) + "\n");
      lastGoodSecond = second;
    }
    ++sent;
    clock.Advance(0.5);
    controller.OnTick();
    clock.Advance(0.5);

    const long elapsed = second + 1;
    if (elapsed % kSecondsPerHour == 0) {
      // The first reading started the clock 0.1 s early, so a line that arrived `n` seconds
      // after it shows n seconds.
      if (time.Text() != ExpectedChargeTime(lastGoodSecond)) {
        return Fail("hour " + std::to_string(elapsed / kSecondsPerHour) + ": charge time \"" +
                    time.Text() + "\", expected \"" + ExpectedChargeTime(lastGoodSecond) + "\"");
      }
      const long hour = elapsed / kSecondsPerHour;
      std::printf("hour %2ld: %6d stored, charge time %-17s %lld blocks in use, RSS %ld KiB\n",
                  hour, controller.Store().SampleCount(), time.Text().c_str(),
                  static_cast<long long>(g_liveBlocks), ResidentKiB());
      if (hour == 2) {
        liveBlocksAtHour2 = g_liveBlocks;
        allocationsAtHour2 = g_allocations;
      }
      if (hour == 3) allocationsPerHour = g_allocations - allocationsAtHour2;
      // The store is allocated whole at the start; after that only the test's own records of
      // each save (a file name in the fake disk and in the dialog's list) may add blocks.
      if (hour > 2 && g_liveBlocks > liveBlocksAtHour2 + 8 * (hour / 6)) {
        return Fail("blocks in use grew from " + std::to_string(liveBlocksAtHour2) + " to " +
                    std::to_string(g_liveBlocks));
      }
      // A port loss in the middle of a line, and the port back at the next tick.
      serial.Receive("20");
      serial.LosePort("Input/output error");
      if (hour % 6 == 0) {
        const std::string name = "/home/user/charge-" + std::to_string(hour) + ".log";
        fileDialog.Answer(name);
        controller.OnSaveGraph();
        const std::string* saved = files.Get(name);
        const auto lines = saved ? std::count(saved->begin(), saved->end(), '\n') : -1;
        if (lines != controller.Store().SampleCount()) {
          return Fail("the save at hour " + std::to_string(hour) + " wrote " +
                      std::to_string(lines) + " readings");
        }
        files.Put(name, {});  // the soak measures the program's memory, not the fake disk's
      }
    }
  }

  const auto& messages = dialogs.Messages();
  if (controller.Store().SampleCount() != SampleStore::kSampleCapacity) {
    return Fail("the store holds " + std::to_string(controller.Store().SampleCount()));
  }
  if (messages.size() != 1 || messages.front().text.rfind("The store is full", 0) != 0) {
    return Fail(std::to_string(messages.size()) + " messages instead of one full-store notice");
  }
  std::printf(
      "PASS: %ld lines sent (%ld malformed, %ld while the port was lost), %d stored, "
      "%llu points drawn, %llu allocations per hour, 1 notice\n",
      sent, malformed, lost, controller.Store().SampleCount(),
      static_cast<unsigned long long>(canvas.Points()),
      static_cast<unsigned long long>(allocationsPerHour));
  return 0;
}

}  // namespace
}  // namespace ampelon

int main() { return ampelon::RunSoak(); }
