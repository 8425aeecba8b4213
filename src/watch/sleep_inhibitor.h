#pragma once

#include <functional>
#include <string>

namespace ampelon {

// Asks the system not to suspend while a charge is recorded (the screen may still blank). The
// system ties the request to the process, so a crash lets go by itself.
class SleepInhibitor {
 public:
  // Why the system said no, for the user.
  using RefusalHandler = std::function<void(const std::string& reason)>;

  virtual ~SleepInhibitor() = default;
  // Never blocks: the answer may come later, on the user-interface thread; a refusal reaches
  // `onRefused`, unless Release() came first. Holding while held does nothing.
  virtual void Hold(RefusalHandler onRefused) = 0;
  // Lets the system suspend again; releasing what is not held does nothing.
  virtual void Release() = 0;
};

}  // namespace ampelon
