#include "watch/win/execution_state_inhibitor.h"

#include "common/windows_api.h"

namespace ampelon {

ExecutionStateInhibitor::~ExecutionStateInhibitor() { Release(); }

void ExecutionStateInhibitor::Hold(RefusalHandler onRefused) {
  if (m_held) return;
  if (SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) == 0) {
    if (onRefused) onRefused("Windows did not accept the request to stay awake");
    return;
  }
  m_held = true;
}

void ExecutionStateInhibitor::Release() {
  if (!m_held) return;
  SetThreadExecutionState(ES_CONTINUOUS);
  m_held = false;
}

}  // namespace ampelon
