#pragma once

#include "watch/sleep_inhibitor.h"

namespace ampelon {

// Windows: marks the user-interface thread as needing the system (ES_SYSTEM_REQUIRED), which
// Windows forgets when the thread ends, so a crash lets go by itself. The display may still
// turn off.
class ExecutionStateInhibitor final : public SleepInhibitor {
 public:
  ~ExecutionStateInhibitor() override;
  void Hold(RefusalHandler onRefused) override;
  void Release() override;

 private:
  bool m_held = false;
};

}  // namespace ampelon
