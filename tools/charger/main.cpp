// The simulated charger: plays a charge (or a graph log) on a pseudo-terminal registered as a
// serial port number, until the readings are out or it is asked to stop.
#include <poll.h>
#include <signal.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "charger/charger_options.h"
#include "charger/curve_source.h"
#include "charger/line_stream.h"
#include "charger/pacer.h"
#include "charger/port_registration.h"
#include "charger/pseudo_terminal.h"
#include "charger/replay_source.h"
#include "charger/slave_link.h"

namespace ampelon {
namespace {

// How long the terminal stays open after the last line, so a reader gets the tail.
constexpr double kLingerSeconds = 0.5;

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signal) { g_stopSignal = signal; }

// Blocks the stop signals, which are then delivered only while SleepUntil waits: a signal that
// arrives while a line is written is seen at the next wait, never lost between a check and a
// sleep. Returns the mask to wait with.
sigset_t BlockStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    ::sigaction(signal, &action, nullptr);
    sigaddset(&stopSignals, signal);
  }
  // A closed stdout must not end the program before it cleans up.
  std::signal(SIGPIPE, SIG_IGN);
  sigset_t waitMask;
  ::sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigdelset(&waitMask, signal);
  return waitMask;
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Waits until `until` (seconds on Now's clock). Returns false when a stop signal came.
bool SleepUntil(double until, const sigset_t& waitMask) {
  while (g_stopSignal == 0) {
    const double left = until - Now();
    if (left <= 0.0) return true;
    const double whole = std::floor(left);
    const timespec wait{static_cast<time_t>(whole), static_cast<long>((left - whole) * 1e9)};
    ::ppoll(nullptr, 0, &wait, &waitMask);
  }
  return false;
}

int Fail(const std::string& reason) {
  std::fprintf(stderr, "ampelon-charger: %s\n", reason.c_str());
  return 1;
}

int Run(const ChargerOptions& options) {
  const sigset_t waitMask = BlockStopSignals();

  std::unique_ptr<ReadingSource> source;
  if (options.replayFile.empty()) {
    source = std::make_unique<CurveSource>(options.intervalSeconds, options.seed);
  } else {
    Result<std::unique_ptr<ReplaySource>> replay = ReplaySource::Open(options.replayFile);
    if (!replay) return Fail(replay.error());
    source = std::move(*replay);
  }

  PseudoTerminal terminal;
  if (const Result<void> opened = terminal.Open(); !opened) return Fail(opened.error());
  std::unique_ptr<PortRegistration> registration;
  if (options.useSettings) {
    registration = std::make_unique<PortRegistration>(options.settingsFile.empty()
                                                          ? PortRegistration::DefaultSettingsPath()
                                                          : options.settingsFile,
                                                      options.port);
    const Result<void> registered = registration->Register(terminal.SlavePath());
    if (!registered) return Fail(registered.error());
    if (const auto& earlier = registration->ReplacedValue()) {
      std::fprintf(stderr, "ampelon-charger: COM%d=%s is replaced while this runs\n", options.port,
                   earlier->c_str());
    }
  }
  SlaveLink link;
  if (!options.linkPath.empty()) {
    const Result<void> linked = link.Create(options.linkPath, terminal.SlavePath());
    if (!linked) return Fail(linked.error());
  }

  if (registration) {
    std::printf("serial port %d is %s", options.port, terminal.SlavePath().c_str());
  } else {
    std::printf("%s (not registered as a port)", terminal.SlavePath().c_str());
  }
  if (!options.linkPath.empty()) std::printf(", linked from %s", options.linkPath.c_str());
  std::printf("\n");
  std::fflush(stdout);

  LineStream stream(*source, {.malformedShare = options.malformedShare,
                              .maxReadings = options.count,
                              .loop = options.loop,
                              .seed = options.seed});
  Pacer pacer(options.intervalSeconds / options.speed);
  long long sent = 0;
  long long dropped = 0;
  bool stopped = false;
  while (const auto line = stream.NextLine()) {
    if (!SleepUntil(pacer.StartTime(Now(), line->size()), waitMask)) {
      stopped = true;
      break;
    }
    if (terminal.Send(*line) == PseudoTerminal::SendResult::kSent) {
      ++sent;
    } else {
      ++dropped;
    }
  }
  if (!stopped) {
    terminal.Send({});  // the tail of the last line, if it waits
    SleepUntil(Now() + kLingerSeconds, waitMask);
  }

  link.Remove();
  const Result<void> unregistered = registration ? registration->Unregister() : Result<void>();
  terminal.Close();
  std::fprintf(stderr, "ampelon-charger: %lld lines sent, %lld dropped\n", sent, dropped);
  return unregistered ? 0 : Fail(unregistered.error());
}

}  // namespace
}  // namespace ampelon

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const ampelon::Result<ampelon::ChargerOptions> options = ampelon::ParseChargerOptions(arguments);
  if (!options) {
    std::fprintf(stderr, "ampelon-charger: %s\nTry 'ampelon-charger --help'.\n",
                 options.error().c_str());
    return 2;
  }
  if (options->help) {
    std::fputs(ampelon::ChargerHelpText().c_str(), stdout);
    return 0;
  }
  return ampelon::Run(*options);
}
