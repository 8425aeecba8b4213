#include "measurement/sample_store.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "fakes/fake_clock.h"

namespace ampelon {
namespace {

using testing::FakeClock;

constexpr float kTenOClock = 36000.0f;

TEST(SampleStore, FirstLiveReadingStartsTheClockATenthEarly) {
  FakeClock clock(kTenOClock);
  SampleStore store(clock);
  ASSERT_EQ(store.RecordLiveSample(1023), AppendResult::kStored);
  EXPECT_EQ(store.StartTime(), 35999.8984375f);
  EXPECT_EQ(store.LastTime(), kTenOClock);
  EXPECT_EQ(store.ElapsedSeconds(), 0.1015625);  // 0.1 s, as float times can hold it
  EXPECT_EQ(store.SampleCount(), 1);
  EXPECT_EQ(store.LatestSample(), 1023);
}

TEST(SampleStore, LaterReadingsMoveOnlyLastTime) {
  FakeClock clock(kTenOClock);
  SampleStore store(clock);
  store.RecordLiveSample(1);
  const float start = store.StartTime();
  clock.Set(kTenOClock + 125.0f);
  store.RecordLiveSample(2);
  EXPECT_EQ(store.StartTime(), start);
  EXPECT_EQ(store.LastTime(), kTenOClock + 125.0f);
  EXPECT_EQ(store.Sample(1), 1);
  EXPECT_EQ(store.Sample(2), 2);
}

TEST(SampleStore, MidnightIsBridgedOnceButNotTwice) {
  FakeClock clock(86399.5f);
  SampleStore store(clock);
  store.RecordLiveSample(1);
  EXPECT_NEAR(store.StartTime(), 86399.4f, 0.01f);

  clock.Set(0.4f);
  store.RecordLiveSample(2);
  EXPECT_NEAR(store.StartTime(), -0.6f, 0.01f);
  EXPECT_NEAR(store.ElapsedSeconds(), 1.0, 0.01);

  // The rule is checked after every reading, but a negative start stays below later times.
  clock.Set(50000.0f);
  store.RecordLiveSample(3);
  EXPECT_NEAR(store.StartTime(), -0.6f, 0.01f);
  EXPECT_NEAR(store.ElapsedSeconds(), 50000.6, 0.01);

  // A second midnight in the same run is not compensated: the elapsed time drops by a day.
  clock.Set(0.5f);
  store.RecordLiveSample(4);
  EXPECT_NEAR(store.ElapsedSeconds(), 1.1, 0.01);
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
  clock.Set(40000.25f);
  const int readsBefore = clock.Reads();
  store.ClearSamples();
  EXPECT_EQ(clock.Reads(), readsBefore + 1);
  EXPECT_EQ(store.SampleCount(), 0);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(store.StartTime()),
            std::bit_cast<std::uint32_t>(store.LastTime()));
  EXPECT_EQ(store.ElapsedSeconds(), 0.0);
  EXPECT_TRUE(store.Samples().empty());
}

TEST(SampleStore, AppendAfterLoadKeepsTheLoadTimeAsStart) {
  FakeClock clock(1000.0f);
  SampleStore store(clock);
  store.ClearSamples();
  store.AppendSample(5);
  store.AppendSample(6);
  EXPECT_EQ(store.ElapsedSeconds(), 0.0);
  clock.Set(1060.0f);
  store.RecordLiveSample(7);
  EXPECT_EQ(store.StartTime(), 1000.0f);
  EXPECT_EQ(store.ElapsedSeconds(), 60.0);
  EXPECT_EQ(store.SampleCount(), 3);
}

TEST(SampleStore, EmptyLoadLetsTheNextLiveReadingRestartTheClock) {
  FakeClock clock(1000.0f);
  SampleStore store(clock);
  store.ClearSamples();
  clock.Set(2000.0f);
  store.RecordLiveSample(7);
  EXPECT_NEAR(store.StartTime(), 1999.9f, 0.001f);
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
  const float lastTime = store.LastTime();

  clock.Set(kTenOClock + 10.0f);
  EXPECT_EQ(store.RecordLiveSample(1), AppendResult::kFull);
  EXPECT_EQ(store.AppendSample(1), AppendResult::kFull);
  EXPECT_EQ(store.SampleCount(), 100000);
  EXPECT_EQ(store.LatestSample(), 4095);
  EXPECT_EQ(store.LastTime(), lastTime);
  EXPECT_EQ(store.Samples().size(), 100000u);

  // After clearing, the store takes readings anew from index 1.
  store.ClearSamples();
  EXPECT_EQ(store.RecordLiveSample(-3), AppendResult::kStored);
  EXPECT_EQ(store.Sample(1), -3);
}

}  // namespace
}  // namespace ampelon
