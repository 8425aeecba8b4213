#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace ampelon {

class Clock;

enum class AppendResult { kStored, kFull };

// Every reading of the current run, in arrival order, with the time each live one arrived, and
// the charge clock. Readings occupy indices 1..SampleCount(); the storage is allocated once at
// full size, so appending never reallocates and nothing is ever written past kSampleCapacity.
class SampleStore {
 public:
  static constexpr int kSampleCapacity = 100000;

  // `clock` times the charge; it must outlive the store.
  explicit SampleStore(Clock& clock);

  // A loaded reading's time: it has none.
  static constexpr double kNoTime = -1.0;

  // Stores a loaded reading with the time its file gave it (kNoTime, or NaN, for none). A time
  // moves the charge clock's start back so that the clock reads the latest loaded time at the
  // moment of the load: live readings continue the loaded charge's times from there.
  AppendResult AppendSample(std::int16_t value, double seconds = kNoTime);
  // Stores a reading from the device with its time on the charge clock, and runs the clock: the
  // first reading in an empty store starts it 0.1 s in the past, and every reading moves
  // LastTime. A reading that finds the store full is not stored, but still moves LastTime: the
  // charge goes on.
  AppendResult RecordLiveSample(std::int16_t value);
  // Empties the store and sets StartTime and LastTime to one reading of the clock.
  void ClearSamples();

  int SampleCount() const { return m_sampleCount; }
  bool IsFull() const { return m_sampleCount >= kSampleCapacity; }
  // The reading at `index`, 1 <= index <= SampleCount().
  std::int16_t Sample(int index) const;
  // Readings 1..SampleCount() in order.
  std::span<const std::int16_t> Samples() const;
  // For each of Samples(), the seconds from StartTime() to its arrival, or kNoTime.
  std::span<const double> Times() const;
  // The newest reading; only meaningful when SampleCount() >= 1.
  std::int16_t LatestSample() const;
  // The lowest and highest reading stored; only meaningful when SampleCount() >= 1.
  std::int16_t LowestSample() const { return m_lowest; }
  std::int16_t HighestSample() const { return m_highest; }

  // The charge clock, in seconds of the monotonic clock.
  double StartTime() const { return m_startTime; }
  double LastTime() const { return m_lastTime; }
  // LastTime - StartTime in seconds: the time from the start of the charge (or a load) to the
  // latest reading, right across midnight, daylight-saving changes and days of charging.
  double ElapsedSeconds() const;

 private:
  Clock& m_clock;
  std::vector<std::int16_t> m_samples;  // index 0 is never used
  std::vector<double> m_times;          // alike
  int m_sampleCount = 0;
  std::int16_t m_lowest = 0;
  std::int16_t m_highest = 0;
  double m_startTime = 0.0;
  double m_lastTime = 0.0;
};

}  // namespace ampelon
