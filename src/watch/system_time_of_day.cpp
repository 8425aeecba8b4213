#include "watch/system_time_of_day.h"

#include <ctime>

namespace ampelon {

std::string SystemTimeOfDay::TextSecondsAgo(double secondsAgo) {
  const std::time_t then = std::time(nullptr) - static_cast<std::time_t>(secondsAgo);
  // Only the user-interface thread asks, so localtime's shared result is safe here.
  const std::tm* local = std::localtime(&then);
  char text[16] = "";
  if (local == nullptr || std::strftime(text, sizeof text, "%H:%M", local) == 0) return "?";
  return text;
}

}  // namespace ampelon
