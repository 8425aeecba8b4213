#include "common/system_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

namespace ampelon {
namespace {

void SetTimeZone(const char* zone) {
#ifdef _WIN32
  _putenv_s("TZ", zone);
  _tzset();
#else
  setenv("TZ", zone, 1);
  tzset();
#endif
}

// A change of the local time (a daylight-saving change, a journey across zones) is the same for
// the program as a change of the time zone: the charge clock must not see it.
TEST(SystemClock, MeasuresTimeThatPassedWhateverTheLocalTime) {
  const char* before = std::getenv("TZ");
  const std::optional<std::string> savedZone =
      before ? std::optional<std::string>(before) : std::nullopt;
  SystemClock clock;
  SetTimeZone("UTC0");
  const double start = clock.MonotonicSeconds();
  SetTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
  const double afterSpring = clock.MonotonicSeconds();
  SetTimeZone("AAA+11");
  const double afterWest = clock.MonotonicSeconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const double end = clock.MonotonicSeconds();
  SetTimeZone(savedZone ? savedZone->c_str() : "");

  EXPECT_GE(afterSpring - start, 0.0);
  EXPECT_LT(afterSpring - start, 1.0);
  EXPECT_GE(afterWest - afterSpring, 0.0);
  EXPECT_LT(afterWest - afterSpring, 1.0);
  EXPECT_GE(end - afterWest, 0.045);
  EXPECT_LT(end - afterWest, 5.0);
}

}  // namespace
}  // namespace ampelon
