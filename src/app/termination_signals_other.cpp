#include "app/termination_signals.h"

namespace ampelon {

void CloseOnTerminationSignals(QWidget& /*window*/) {}

}  // namespace ampelon
