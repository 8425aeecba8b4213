#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "watch/charge_completion.h"
#include "watch/reading_intervals.h"

namespace ampelon {

class Clock;
class Notifier;
class RejectedLines;
class SleepInhibitor;
class TimeOfDay;

// How long each condition must last before it is told; shorter only in tests.
struct WatchTimes {
  double diagnosisSeconds = 10.0;   // rejected lines gathered before saying why
  std::size_t diagnosisLines = 20;  // ... or this many lines, whichever comes first
  double stallMinimumSeconds = 60.0;
  double stallIntervals = 5.0;  // times the median interval of the last readings
  double lostPortSeconds = 10.0;
  double awakeSeconds = 600.0;  // the computer is kept awake this long after a reading
  // The readings' times as the charge's judgement takes them: more than 1 only where a simulated
  // charger runs faster than time.
  double chargeTimeScale = 1.0;
};

// The platform's side of the watch. All must outlive the watch.
struct WatchServices {
  Notifier& notifier;
  SleepInhibitor& inhibitor;
  TimeOfDay& timeOfDay;
  WatchTimes times{};
};

// The serial port as the opener sees it at a tick.
struct PortState {
  bool open = false;
  bool lost = false;  // went away while open and is being reopened
  int number = 0;
  std::string lineSettings;  // "19200,n,8,1"
};

// Watches a charge for the user who is not at the window: says why lines are no readings,
// notices readings that stop and a port that stays lost, keeps the computer awake while
// readings arrive, and says when the charge is complete (ChargeCompletion). Tells each condition
// once, as a desktop notification, until it clears; what still holds is a note for the port
// status's hover text, the complete charge's line last.
class UnattendedWatch {
 public:
  using NoteHandler = std::function<void(std::string_view note)>;

  // `clock` must outlive the watch. `showNote` receives the note whenever it changes.
  UnattendedWatch(Clock& clock, const WatchServices& services, NoteHandler showNote);
  // Lets go of the computer, so that no late answer of the system reaches a watch that is gone.
  ~UnattendedWatch();
  UnattendedWatch(const UnattendedWatch&) = delete;
  UnattendedWatch& operator=(const UnattendedWatch&) = delete;

  // Every serial event: `readings` accepted, and the lines rejected since the last reading.
  void OnSerialEvent(int readings, const RejectedLines& rejections);
  // After each serial event that stored readings: every reading stored so far and their times
  // (SampleStore::Samples() and Times()). Only the new ones are judged.
  void OnStoredReadings(std::span<const std::int16_t> readings, std::span<const double> times);
  // A load replaced the stored readings with these: judged anew, and no end found in them is
  // told.
  void OnReadingsReplaced(std::span<const std::int16_t> readings, std::span<const double> times);
  // The open port failed with `reason`.
  void OnPortLost(const std::string& reason);
  // Once a second, after a lost port was retried.
  void OnTick(const PortState& port, const RejectedLines& rejections);
  // The store has just filled with `count` readings.
  void OnStoreFull(int count);
  // The program ends.
  void OnExit();

 private:
  void OnReadings(int count, double now);
  void WatchPort(const PortState& port, double now);
  void WatchLines(const RejectedLines& rejections, const std::string& lineSettings, double now);
  void WatchReadings(double now);
  void KeepAwake(bool wanted);
  void ShowNote();
  void Notify(std::string summary, std::string body, bool urgent);

  Clock& m_clock;
  WatchServices m_services;
  NoteHandler m_showNote;
  std::string m_note;

  bool m_portOpen = false;
  double m_portOpenedAt = 0.0;
  std::optional<double> m_lostAt;
  std::string m_lostReason;
  bool m_lostNotified = false;

  std::optional<double> m_rejectedSince;  // when the rejected lines now gathered began
  std::string m_lineNote;

  ChargeCompletion m_completion;
  ReadingIntervals m_readings;
  bool m_stalled = false;

  std::string m_stalledSince;  // the time of day of the last reading, as the note shows it

  bool m_lineNotified = false;
  bool m_wantAwake = false;
  bool m_holding = false;
  std::string m_refusal;  // the system's no: never asked again
};

}  // namespace ampelon
