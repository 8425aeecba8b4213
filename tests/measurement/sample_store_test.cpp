#include "measurement/sample_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fakes/fake_clock.h"

namespace ampelon {
namespace {

using testing::FakeClock;

constexpr double kTenOClock = 36000.0;

TEST(SampleStore, FirstLiveReadingStartsTheClockATenthEarly) {
  FakeClock clock(kTenOClock);
  SampleStore store(clock);
  ASSERT_EQ(store.RecordLiveSample(1023), AppendResult::kStored);
  EXPECT_DOUBLE_EQ(store.StartTime(), 35999.9);
  EXPECT_EQ(store.LastTime(), kTenOClock);
  EXPECT_NEAR(store.ElapsedSeconds(), 0.1, 1e-9);
  EXPECT_EQ(store.SampleCount(), 1);
  EXPECT_EQ(store.LatestSample(), 1023);
}

TEST(SampleStore, LaterReadingsMoveOnlyLastTime) {
  FakeClock clock(kTenOClock);
  SampleStore store(clock);
  store.RecordLiveSample(1);
  const double start = store.StartTime();
  clock.Set(kTenOClock + 125.0);
  store.RecordLiveSample(2);
  EXPECT_EQ(store.StartTime(), start);
  EXPECT_EQ(store.LastTime(), kTenOClock + 125.0);
  EXPECT_EQ(store.Sample(1), 1);
  EXPECT_EQ(store.Sample(2), 2);
  // Each reading keeps its time on the charge clock.
  EXPECT_EQ(std::vector<double>(store.Times().begin(), store.Times().end()),
            (std::vector<double>{kTenOClock - start, kTenOClock + 125.0 - start}));
}

// A charge that runs for days, one reading a second: the elapsed time is the time since the
// first reading at every step (a clock of the time of day lost whole days here).
TEST(SampleStore, ElapsedTimeHoldsForDaysOfCharging) {
  const struct {
    const char* name;
    int readings;
    double elapsed;  // after the last reading
    int stored;
  } cases[] = {
      {"one hour", 3601, 3600.1, 3601},
      {"25 hours", 90001, 90000.1, 90001},
      // The store fills after 27 h 46 min; the readings after that still move the clock.
      {"30 hours", 108001, 108000.1, 100000},
  };
  for (const auto& c : cases) {
    FakeClock clock(kTenOClock);
    SampleStore store(clock);
    for (int i = 0; i < c.readings; ++i) {
      store.RecordLiveSample(static_cast<std::int16_t>(i % 4096));
      clock.Advance(1.0);
    }
    EXPECT_NEAR(store.ElapsedSeconds(), c.elapsed, 1e-6) << c.name;
    EXPECT_EQ(store.SampleCount(), c.stored) << c.name;
  }
}

TEST(SampleStore, KeepsTheLowestAndHighestReadingUntilCleared) {
  FakeClock clock(kTenOClock);
  SampleStore store(clock);
  for (const std::int16_t value : {1200, -5, 4095, 30}) store.AppendSample(value);
  EXPECT_EQ(store.LowestSample(), -5);
  EXPECT_EQ(store.HighestSample(), 4095);
  store.ClearSamples();
  store.RecordLiveSample(2000);
  EXPECT_EQ(store.LowestSample(), 2000);
  EXPECT_EQ(store.HighestSample(), 2000);
}

TEST(SampleStore, ClearSetsBothTimesFromOneClockRead) {
  FakeClock clock(kTenOClock);
  SampleStore store(clock);
  for (int i = 0; i < 10; ++i) store.RecordLiveSample(static_cast<std::int16_t>(i));
  clock.Set(40000.25);
  const int readsBefore = clock.Reads();
  store.ClearSamples();
  EXPECT_EQ(clock.Reads(), readsBefore + 1);
  EXPECT_EQ(store.SampleCount(), 0);
  EXPECT_EQ(store.StartTime(), 40000.25);
  EXPECT_EQ(store.LastTime(), 40000.25);
  EXPECT_EQ(store.ElapsedSeconds(), 0.0);
  EXPECT_TRUE(store.Samples().empty());
}

TEST(SampleStore, AppendAfterLoadKeepsTheLoadTimeAsStart) {
  FakeClock clock(1000.0);
  SampleStore store(clock);
  store.ClearSamples();
  store.AppendSample(5);
  store.AppendSample(6);
  EXPECT_EQ(store.ElapsedSeconds(), 0.0);
  clock.Set(1060.0);
  store.RecordLiveSample(7);
  EXPECT_EQ(store.StartTime(), 1000.0);
  EXPECT_EQ(store.ElapsedSeconds(), 60.0);
  EXPECT_EQ(store.SampleCount(), 3);
  // Loaded readings have no time; the clock the load restarted times the live one.
  EXPECT_EQ(std::vector<double>(store.Times().begin(), store.Times().end()),
            (std::vector<double>{SampleStore::kNoTime, SampleStore::kNoTime, 60.0}));
}

TEST(SampleStore, EmptyLoadLetsTheNextLiveReadingRestartTheClock) {
  FakeClock clock(1000.0);
  SampleStore store(clock);
  store.ClearSamples();
  clock.Set(2000.0);
  store.RecordLiveSample(7);
  EXPECT_DOUBLE_EQ(store.StartTime(), 1999.9);
}

TEST(SampleStore, TheHundredThousandthReadingFitsAndTheNextIsRefused) {
  FakeClock clock(kTenOClock);
  SampleStore store(clock);
  for (int i = 1; i < SampleStore::kSampleCapacity; ++i) {
    ASSERT_EQ(store.AppendSample(static_cast<std::int16_t>(i % 4096)), AppendResult::kStored);
  }
  EXPECT_FALSE(store.IsFull());
  EXPECT_EQ(store.RecordLiveSample(4095), AppendResult::kStored);
  EXPECT_TRUE(store.IsFull());
  EXPECT_EQ(store.SampleCount(), 100000);

  clock.Set(kTenOClock + 10.0);
  EXPECT_EQ(store.RecordLiveSample(1), AppendResult::kFull);
  EXPECT_EQ(store.AppendSample(1), AppendResult::kFull);
  EXPECT_EQ(store.SampleCount(), 100000);
  EXPECT_EQ(store.LatestSample(), 4095);
  EXPECT_EQ(store.LastTime(), kTenOClock + 10.0);  // the charge goes on
  EXPECT_EQ(store.Samples().size(), 100000u);

  // After clearing, the store takes readings anew from index 1.
  store.ClearSamples();
  EXPECT_EQ(store.RecordLiveSample(-3), AppendResult::kStored);
  EXPECT_EQ(store.Sample(1), -3);
}

}  // namespace
}  // namespace ampelon
