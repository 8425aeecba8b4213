#include "measurement/sample_store.h"

#include <algorithm>
#include <cassert>

#include "common/clock.h"

namespace ampelon {

SampleStore::SampleStore(Clock& clock)
    : m_clock(clock), m_samples(kSampleCapacity + 1, 0), m_times(kSampleCapacity + 1, kNoTime) {}

AppendResult SampleStore::AppendSample(std::int16_t value, double seconds) {
  if (IsFull()) return AppendResult::kFull;
  ++m_sampleCount;
  m_samples[static_cast<std::size_t>(m_sampleCount)] = value;
  const bool timed = seconds >= 0.0;  // false for NaN too
  m_times[static_cast<std::size_t>(m_sampleCount)] = timed ? seconds : kNoTime;
  if (timed) m_startTime = std::min(m_startTime, m_lastTime - seconds);
  if (m_sampleCount == 1 || value < m_lowest) m_lowest = value;
  if (m_sampleCount == 1 || value > m_highest) m_highest = value;
  return AppendResult::kStored;
}

AppendResult SampleStore::RecordLiveSample(std::int16_t value) {
  const AppendResult result = AppendSample(value);
  const double now = m_clock.MonotonicSeconds();
  // Started a tenth early, so that the first reading shows a charge already under way.
  if (result == AppendResult::kStored) {
    if (m_sampleCount == 1) m_startTime = now - 0.1;
    m_times[static_cast<std::size_t>(m_sampleCount)] = now - m_startTime;
  }
  m_lastTime = now;
  return result;
}

void SampleStore::ClearSamples() {
  std::fill(m_samples.begin() + 1, m_samples.end(), std::int16_t{0});
  m_sampleCount = 0;
  const double now = m_clock.MonotonicSeconds();
  m_startTime = now;
  m_lastTime = now;
}

std::int16_t SampleStore::Sample(int index) const {
  assert(index >= 1 && index <= m_sampleCount);
  return m_samples[static_cast<std::size_t>(index)];
}

std::span<const std::int16_t> SampleStore::Samples() const {
  return {m_samples.data() + 1, static_cast<std::size_t>(m_sampleCount)};
}

std::span<const double> SampleStore::Times() const {
  return {m_times.data() + 1, static_cast<std::size_t>(m_sampleCount)};
}

std::int16_t SampleStore::LatestSample() const {
  return m_samples[static_cast<std::size_t>(m_sampleCount)];
}

double SampleStore::ElapsedSeconds() const { return m_lastTime - m_startTime; }

}  // namespace ampelon
