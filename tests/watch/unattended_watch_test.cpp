#include "watch/unattended_watch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
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
  void Notify(const Notice& notice) override { summaries.push_back(notice.summary); }
  std::vector<std::string> summaries;
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
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) {
      clock.Advance(1.0);
      watch.OnTick(port, decoder.Rejections());
    }
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
