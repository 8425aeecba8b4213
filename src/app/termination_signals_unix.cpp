#include "app/termination_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>

namespace ampelon {
namespace {

// A signal handler may only do async-signal-safe work: it writes one byte to a socket whose
// other end the event loop watches.
int g_signalSockets[2] = {-1, -1};

void OnTerminationSignal(int /*signal*/) {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(g_signalSockets[0], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignals(QWidget& window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSockets) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte = 0;
    [[maybe_unused]] const auto read = ::read(g_signalSockets[1], &byte, 1);
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

}  // namespace ampelon
