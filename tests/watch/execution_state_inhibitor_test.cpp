// Windows' execution state under Wine, through the SleepInhibitor interface.
#include "watch/win/execution_state_inhibitor.h"

#include <gtest/gtest.h>

#include <string>

#include "common/windows_api.h"

namespace ampelon {
namespace {

// The thread's execution state, left as it was.
EXECUTION_STATE CurrentState() {
  const EXECUTION_STATE state = SetThreadExecutionState(ES_CONTINUOUS);
  SetThreadExecutionState(state);
  return state;
}

TEST(ExecutionStateInhibitor, HoldsTheSystemUntilReleasedOrDestroyed) {
  {
    ExecutionStateInhibitor inhibitor;
    inhibitor.Hold([](const std::string& reason) { ADD_FAILURE() << reason; });
    EXPECT_EQ(CurrentState() & ES_SYSTEM_REQUIRED, ES_SYSTEM_REQUIRED);
    inhibitor.Release();
    EXPECT_EQ(CurrentState() & ES_SYSTEM_REQUIRED, 0u);
    inhibitor.Hold({});
  }
  EXPECT_EQ(CurrentState() & ES_SYSTEM_REQUIRED, 0u);
}

}  // namespace
}  // namespace ampelon
