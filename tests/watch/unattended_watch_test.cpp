#include "watch/unattended_watch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_clock.h"
#include "measurement/sample_store.h"
#include "measurement/serial_line_decoder.h"
#include "watch/notifier.h"
#include "watch/sleep_inhibitor.h"
#include "watch/time_of_day.h"

namespace ampelon {
namespace {

struct FakeNotifier final : Notifier {
  void Notify(const Notice& notice) override {
    summaries.push_back(notice.summary);
    bodies.push_back(notice.body);
  }
  std::vector<std::string> summaries;
  std::vector<std::string> bodies;
};

struct FakeInhibitor final : SleepInhibitor {
  void Hold(RefusalHandler onRefused) override {
    ++holds;
    held = refusal.empty();
    if (!held) onRefused(refusal);
  }
  void Release() override { held = false; }
  bool held = false;
  int holds = 0;
  std::string refusal;
};

// Says how long ago it was asked about, so a test sees which moment the note names.
struct FakeTimeOfDay final : TimeOfDay {
  std::string TextSecondsAgo(double secondsAgo) override {
    return std::to_string(static_cast<int>(secondsAgo)) + " s ago";
  }
};

std::string Repeat(std::string_view text, int count) {
  std::string repeated;
  for (int i = 0; i < count; ++i) repeated += text;
  return repeated;
}

// The watch wired as the main controller wires it, over the real line decoder.
struct Watched {
  void Receive(std::string_view bytes) {
    const DecodeSummary summary = decoder.OnSerialEvent(bytes);
    watch.OnSerialEvent(summary.stored, decoder.Rejections());
    if (summary.stored > 0) watch.OnStoredReadings(store.Samples(), store.Times());
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) {
      clock.Advance(1.0);
      watch.OnTick(port, decoder.Rejections());
    }
  }
  // Runs of {count, readings}: live ones every 2 s, or loaded ones, untimed, in place of all.
  using Runs = std::vector<std::pair<int, int>>;
  void Play(const Runs& runs, bool loaded) {
    if (loaded) store.ClearSamples();
    for (const auto& [count, readings] : runs) {
      for (int i = 0; i < readings; ++i, clock.Advance(2.0)) {
        if (loaded) store.AppendSample(static_cast<std::int16_t>(count));
        if (!loaded) Receive(std::to_string(count) + "\n");
      }
    }
    if (loaded) watch.OnReadingsReplaced(store.Samples(), store.Times());
  }
  void ReadingsEvery(double seconds, int count) {
    for (int i = 0; i < count; ++i) {
      clock.Advance(seconds);
      Receive("2000\n");
    }
  }

  testing::FakeClock clock{5000.0};
  SampleStore store{clock};
  SerialLineDecoder decoder{store, 64};
  FakeNotifier notifier;
  FakeInhibitor inhibitor;
  FakeTimeOfDay timeOfDay;
  std::string note;
  UnattendedWatch watch{
      clock, {notifier, inhibitor, timeOfDay}, [this](std::string_view text) { note = text; }};
  PortState port{true, false, 2, "9600,e,7,2"};
};

TEST(UnattendedWatch, SaysWhyTheLinesAreNoReadings) {
  const struct {
    std::string received;
    int ticks;
    std::string note;
  } cases[] = {
      {Repeat("1023\r\n", 20), 1,
       "The charger ends its lines with CR LF; Ampelon reads lines that end with a line feed "
       "alone."},
      {"\x80\xf3\x13\n\xfe\xff\n", 10,
       "The bytes received are not text: is the charger set to 9600 baud, 7 data bits, even "
       "parity, 2 stop bits?"},
      {"\n  1.25V\n1023\r\n", 10,
       "The lines received are not whole numbers, for example \"1.25V\"."},
      {"\t1\x01\\" + std::string(50, 'x') + "\n", 10,
       "The lines received are not whole numbers, for example \"\\t1\\x01\\\\" +
           std::string(31, 'x') + "\"."},
      {std::string(65, '7'), 1,
       "More than 1 MiB arrived without a line feed; Ampelon reads lines that end with a line "
       "feed."},
      // Neither 10 s nor 20 lines yet.
      {"abc\nabc\n", 9, ""},
      {"12", 30, ""},
  };
  for (const auto& c : cases) {
    Watched w;
    w.Receive(c.received);
    w.Ticks(c.ticks);
    EXPECT_EQ(w.note, c.note) << c.received;
    EXPECT_EQ(w.notifier.summaries.size(), c.note.empty() ? 0u : 1u) << c.received;
  }
}

TEST(UnattendedWatch, TellsEachConditionOnceUntilItClears) {
  Watched w;
  w.Receive("1023\r\n");
  w.Ticks(10);
  w.Receive("5.0\n5.0\n");
  w.Ticks(30);
  EXPECT_EQ(w.notifier.summaries, std::vector<std::string>{"No readings from the charger"});
  w.Receive("1023\n");
  w.Receive("1023\r\n");
  w.Ticks(10);
  EXPECT_EQ(w.notifier.summaries.size(), 2u);

  // Lost for 10 s: told once, then once that it is back.
  w.watch.OnPortLost("gone");
  w.port = {false, true, 2, ""};
  w.Ticks(9);
  EXPECT_EQ(w.notifier.summaries.size(), 2u);
  w.Ticks(20);
  w.port = {true, false, 2, ""};
  w.Ticks(5);
  EXPECT_EQ(
      w.notifier.summaries,
      (std::vector<std::string>{"No readings from the charger", "No readings from the charger",
                                "Serial port 2 lost", "Serial port 2 is back"}));
}

// A charge is complete when its voltage fell 5 mV below the peak (here 2400 counts, 1.465 V) or
// stayed flat for 15 min after its final climb; told once a charge, never of loaded readings.
TEST(UnattendedWatch, SaysOnceAChargeWhenItIsComplete) {
  const std::string peaked =
      "The voltage peaked at 1.465 V after 10 min and has fallen 12 mV since.";
  Watched::Runs climb = {{2300, 1800}};
  for (int count = 2301; count <= 2340; ++count) climb.emplace_back(count, 15);
  climb.emplace_back(2340, 900);
  const struct {
    const char* what;
    Watched::Runs loaded, live;
    std::vector<std::string> told;  // in each body
    bool shown;                     // the last one stands in the hover text
  } cases[] = {
      {"-dV", {}, {{2400, 1200}, {2380, 300}}, {peaked}, true},
      {"flat", {}, climb, {"has not risen for 15 min, at 1.429 V after 1 h 3"}, true},
      {"battery changed", {}, {{2400, 1200}, {2380, 300}, {2000, 100}}, {peaked}, false},
      {"2", {}, {{2400, 1200}, {2380, 300}, {2000, 1200}, {1980, 300}}, {peaked, "1.221 V"}, true},
      {"loaded", {{2400, 1200}, {2380, 300}}, {{2380, 100}}, {}, false},
      {"untimed", {{2400, 1200}}, {{2380, 300}}, {"1.465 V at reading 304"}, true},
  };
  for (const auto& c : cases) {
    Watched w;
    w.Play(c.loaded, true);
    w.Play(c.live, false);
    ASSERT_EQ(w.notifier.summaries, std::vector<std::string>(c.told.size(), "Charge complete"))
        << c.what;
    for (std::size_t i = 0; i < c.told.size(); ++i) {
      EXPECT_NE(w.notifier.bodies[i].find(c.told[i]), std::string::npos) << w.notifier.bodies[i];
    }
    // After the watch's own notes.
    const std::string awake = "Keeping the computer awake while readings arrive.";
    EXPECT_EQ(w.note, c.shown ? awake + "\n" + w.notifier.bodies.back() : awake) << c.what;
  }
}

// The gap that counts as stopped is max(60 s, 5 × the median interval of the last 20 readings).
TEST(UnattendedWatch, ReadingsStopAfterAGapThatFollowsTheCharger) {
  const struct {
    double interval;
    int stoppedAfter;
  } cases[] = {{1.0, 60}, {0.1, 60}, {20.0, 100}, {60.0, 300}};
  for (const auto& c : cases) {
    Watched w;
    w.ReadingsEvery(c.interval, 25);
    w.Ticks(c.stoppedAfter - 1);
    EXPECT_TRUE(w.notifier.summaries.empty()) << c.interval;
    w.Ticks(1);
    EXPECT_EQ(w.notifier.summaries, std::vector<std::string>{"Readings stopped"}) << c.interval;
    const std::string minutes = std::to_string(c.stoppedAfter / 60) + " min";
    EXPECT_EQ(w.note, "No reading since " + std::to_string(c.stoppedAfter) + " s ago (" + minutes +
                          ").\nKeeping the computer awake while readings arrive.");
    w.Ticks(c.stoppedAfter);
    w.Receive("2100\n");
    EXPECT_EQ(w.notifier.summaries.back(), "Readings again") << c.interval;
    EXPECT_EQ(w.note, "Keeping the computer awake while readings arrive.");
  }
}

// The computer is kept awake while the port is open and a reading came in the last 10 minutes.
TEST(UnattendedWatch, LetsTheComputerSleepOnEveryPathThatEndsAnActiveCharge) {
  const struct {
    const char* path;
    std::function<void(Watched&)> end;
  } cases[] = {
      {"port lost", [](Watched& w) { w.watch.OnPortLost("gone"); }},
      {"port closed",
       [](Watched& w) {
         w.port.open = false;
         w.Ticks(1);
       }},
      {"10 minutes without a reading",
       [](Watched& w) {
         w.Ticks(299);
         EXPECT_TRUE(w.inhibitor.held);
         w.Ticks(1);
       }},
      {"exit", [](Watched& w) { w.watch.OnExit(); }},
  };
  for (const auto& c : cases) {
    Watched w;
    w.Receive("2000\n");
    w.Ticks(300);
    EXPECT_TRUE(w.inhibitor.held) << c.path;
    c.end(w);
    EXPECT_FALSE(w.inhibitor.held) << c.path;
    EXPECT_EQ(w.note.find("awake"), std::string::npos) << c.path << ": " << w.note;
  }
}

TEST(UnattendedWatch, ARefusalToStayAwakeIsShownAndNotAskedAgain) {
  Watched w;
  w.inhibitor.refusal = "permission denied";
  w.ReadingsEvery(1.0, 5);
  w.watch.OnPortLost("gone");
  w.port = {true, false, 2, ""};
  w.ReadingsEvery(1.0, 5);
  EXPECT_EQ(w.inhibitor.holds, 1);
  EXPECT_EQ(w.note, "The computer may go to sleep during the charge: permission denied.");
  EXPECT_TRUE(w.notifier.summaries.empty());
}

}  // namespace
}  // namespace ampelon
