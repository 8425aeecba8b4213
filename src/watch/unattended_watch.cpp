#include "watch/unattended_watch.h"

#include <algorithm>
#include <utility>

#include "common/clock.h"
#include "measurement/rejected_lines.h"
#include "serial/line_settings.h"
#include "watch/notifier.h"
#include "watch/sleep_inhibitor.h"
#include "watch/time_of_day.h"

namespace ampelon {
namespace {

constexpr const char* kKeepingAwake = "Keeping the computer awake while readings arrive.";

std::string Minutes(double seconds) {
  return std::to_string(static_cast<long long>(std::max(0.0, seconds) / 60.0)) + " min";
}

std::string LineProblemNote(const LineDiagnosis& diagnosis, const std::string& lineSettings) {
  switch (diagnosis.problem) {
    case LineProblem::kNone:
      return {};
    case LineProblem::kNotText: {
      const Result<LineSettings> settings = ParseLineSettings(lineSettings);
      return "The bytes received are not text: is the charger set to " +
             (settings ? DescribeLineSettings(*settings) : lineSettings) + "?";
    }
    case LineProblem::kCrLf:
      return "The charger ends its lines with CR LF; Ampelon reads lines that end with a line "
             "feed alone.";
    case LineProblem::kNoLineFeed:
      return "More than 1 MiB arrived without a line feed; Ampelon reads lines that end with a "
             "line feed.";
    case LineProblem::kNotWholeNumbers:
      if (diagnosis.example.empty()) {
        return "The lines received are empty; Ampelon reads one whole number a line.";
      }
      return "The lines received are not whole numbers, for example \"" + diagnosis.example + "\".";
  }
  return {};
}

}  // namespace

UnattendedWatch::UnattendedWatch(Clock& clock, const WatchServices& services, NoteHandler showNote)
    : m_clock(clock),
      m_services(services),
      m_showNote(std::move(showNote)),
      m_completion(services.times.chargeTimeScale) {}

UnattendedWatch::~UnattendedWatch() {
  if (m_holding) m_services.inhibitor.Release();
}

void UnattendedWatch::OnSerialEvent(int readings, const RejectedLines& rejections) {
  if (readings == 0 && (m_rejectedSince || rejections.Empty())) return;
  const double now = m_clock.MonotonicSeconds();
  if (readings > 0) OnReadings(readings, now);
  // The time counts from the first rejected line, not from the tick that sees it.
  if (!rejections.Empty() && !m_rejectedSince) m_rejectedSince = now;
}

void UnattendedWatch::OnReadings(int count, double now) {
  if (m_stalled) {
    Notify("Readings again", "Readings again after " + Minutes(now - m_readings.Last()) + ".",
           false);
    m_stalled = false;
  }
  m_readings.Add(now, count);
  m_rejectedSince.reset();
  m_lineNote.clear();
  m_lineNotified = false;
  // Readings come only through an open port, also before the first tick has seen it open.
  if (!m_portOpen) m_portOpenedAt = now;
  m_portOpen = true;
  KeepAwake(true);
  ShowNote();
}

void UnattendedWatch::OnStoredReadings(std::span<const std::int16_t> readings,
                                       std::span<const double> times) {
  if (const std::optional<std::string> line = m_completion.Update(readings, times)) {
    Notify("Charge complete", *line, false);
  }
  ShowNote();
}

void UnattendedWatch::OnReadingsReplaced(std::span<const std::int16_t> readings,
                                         std::span<const double> times) {
  m_completion.Restart(readings, times);
  ShowNote();
}

void UnattendedWatch::OnPortLost(const std::string& reason) {
  m_portOpen = false;
  m_lostAt = m_clock.MonotonicSeconds();
  m_lostReason = reason;
  m_lostNotified = false;
  m_rejectedSince.reset();
  m_lineNote.clear();
  KeepAwake(false);
  ShowNote();
}

void UnattendedWatch::OnTick(const PortState& port, const RejectedLines& rejections) {
  const double now = m_clock.MonotonicSeconds();
  WatchPort(port, now);
  if (port.open) {
    WatchLines(rejections, port.lineSettings, now);
    WatchReadings(now);
  } else {
    m_rejectedSince.reset();
    m_lineNote.clear();
  }
  KeepAwake(port.open && !m_readings.Empty() &&
            now - m_readings.Last() < m_services.times.awakeSeconds);
  ShowNote();
}

void UnattendedWatch::WatchPort(const PortState& port, double now) {
  const std::string name = "Serial port " + std::to_string(port.number);
  if (port.open && !m_portOpen) {
    m_portOpenedAt = now;
    if (m_lostNotified) {
      Notify(name + " is back", name + " is open again; readings can arrive.", false);
    }
  }
  m_portOpen = port.open;
  if (!port.lost) {
    // Back, or the user chose another port.
    m_lostAt.reset();
    m_lostNotified = false;
  } else if (m_lostAt && !m_lostNotified && now - *m_lostAt >= m_services.times.lostPortSeconds) {
    m_lostNotified = true;
    Notify(name + " lost", name + " lost: " + m_lostReason, true);
  }
}

void UnattendedWatch::WatchLines(const RejectedLines& rejections, const std::string& lineSettings,
                                 double now) {
  if (rejections.Empty()) {
    m_rejectedSince.reset();
    m_lineNote.clear();
    return;
  }
  if (!m_rejectedSince) m_rejectedSince = now;
  const WatchTimes& times = m_services.times;
  if (rejections.Lines() < times.diagnosisLines && !rejections.Overlong() &&
      now - *m_rejectedSince < times.diagnosisSeconds) {
    return;
  }
  m_lineNote = LineProblemNote(rejections.Diagnose(), lineSettings);
  if (!m_lineNotified) {
    m_lineNotified = true;
    Notify("No readings from the charger", m_lineNote, true);
  }
}

void UnattendedWatch::WatchReadings(double now) {
  if (m_readings.Empty() || m_stalled) return;
  const WatchTimes& times = m_services.times;
  const double since = std::max(m_readings.Last(), m_portOpenedAt);
  if (now - since < m_readings.StallThreshold(times.stallMinimumSeconds, times.stallIntervals)) {
    return;
  }
  m_stalled = true;
  m_stalledSince = m_services.timeOfDay.TextSecondsAgo(now - m_readings.Last());
  Notify("Readings stopped",
         "No reading since " + m_stalledSince + " (" + Minutes(now - m_readings.Last()) + ").",
         true);
}

void UnattendedWatch::OnStoreFull(int count) {
  Notify("The store is full",
         "It holds " + std::to_string(count) +
             " readings; new readings from the charger are not recorded. Save the graph to keep "
             "what has been collected.",
         true);
}

void UnattendedWatch::OnExit() {
  KeepAwake(false);
  ShowNote();
}

void UnattendedWatch::KeepAwake(bool wanted) {
  m_wantAwake = wanted;
  if (wanted == m_holding || (wanted && !m_refusal.empty())) return;
  m_holding = wanted;
  if (!wanted) {
    m_services.inhibitor.Release();
    return;
  }
  m_services.inhibitor.Hold([this](const std::string& reason) {
    m_holding = false;
    m_refusal = reason.empty() ? "the system refused" : reason;
    ShowNote();
  });
}

void UnattendedWatch::ShowNote() {
  std::string note = m_lineNote;
  const auto addLine = [&note](const std::string& line) {
    if (line.empty()) return;
    if (!note.empty()) note += '\n';
    note += line;
  };
  if (m_stalled) {
    addLine("No reading since " + m_stalledSince + " (" +
            Minutes(m_clock.MonotonicSeconds() - m_readings.Last()) + ").");
  }
  if (m_holding) {
    addLine(kKeepingAwake);
  } else if (m_wantAwake && !m_refusal.empty()) {
    addLine("The computer may go to sleep during the charge: " + m_refusal + ".");
  }
  addLine(m_completion.Line());
  if (note == m_note) return;
  m_note = std::move(note);
  m_showNote(m_note);
}

void UnattendedWatch::Notify(std::string summary, std::string body, bool urgent) {
  m_services.notifier.Notify({std::move(summary), std::move(body), urgent});
}

}  // namespace ampelon
