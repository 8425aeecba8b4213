#pragma once

class QWidget;

namespace ampelon {

// Closes `window` as if the user had closed it when the process is asked to end (SIGTERM at
// log-out, SIGINT from a terminal, SIGHUP), so that shut-down still stores the window's
// geometry. Does nothing where there are no such signals.
void CloseOnTerminationSignals(QWidget& window);

}  // namespace ampelon
