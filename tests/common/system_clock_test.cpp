#include "common/system_clock.h"

#include <gtest/gtest.h>

#include <ctime>

namespace ampelon {
namespace {

TEST(SystemClock, GivesTheLocalTimeOfDay) {
  SystemClock clock;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  const double expected = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  const float seconds = clock.SecondsSinceMidnight();
  EXPECT_GE(seconds, 0.0f);
  EXPECT_LT(seconds, 86400.0f);
  // Allow a second either way for the moment between the two reads (and midnight itself).
  const double difference = seconds - expected;
  EXPECT_TRUE((difference > -1.0 && difference < 2.0) || expected > 86398.0)
      << "clock " << seconds << " local " << expected;
}

}  // namespace
}  // namespace ampelon
