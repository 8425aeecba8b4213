#include "common/system_clock.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace ampelon {
namespace {

std::tm LocalTime(std::time_t time) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &time);
#else
  localtime_r(&time, &local);
#endif
  return local;
}

}  // namespace

float SystemClock::SecondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto sinceEpoch = now.time_since_epoch();
  const auto wholeSeconds = floor<seconds>(sinceEpoch);
  const double fraction = duration<double>(sinceEpoch - wholeSeconds).count();
  const std::tm local = LocalTime(static_cast<std::time_t>(wholeSeconds.count()));
  // A leap second (tm_sec 60) and float rounding near midnight must not reach 86400.
  const int second = local.tm_sec < 60 ? local.tm_sec : 59;
  const double secondsOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + second + fraction;
  const float result = static_cast<float>(secondsOfDay);
  return result < 86400.0f ? result : std::nextafter(86400.0f, 0.0f);
}

}  // namespace ampelon
