#pragma once

#include <string>

namespace ampelon {

// A message for a person who is not looking at the window.
struct Notice {
  std::string summary;  // one short line
  std::string body;     // what happened, in a sentence or two
  bool urgent = false;  // a charge is at risk: the desktop may keep it on screen until seen
};

// The desktop's notifications. Sending never blocks and never fails visibly: a desktop without a
// notification service simply shows nothing.
class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void Notify(const Notice& notice) = 0;
};

}  // namespace ampelon
