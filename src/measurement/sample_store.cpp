#include "measurement/sample_store.h"

#include <algorithm>
#include <cassert>

#include "common/clock.h"

namespace ampelon {

SampleStore::SampleStore(Clock& clock) : m_clock(clock), m_samples(kSampleCapacity + 1, 0) {}

AppendResult SampleStore::AppendSample(std::int16_t value) {
  if (IsFull()) return AppendResult::kFull;
  ++m_sampleCount;
  m_samples[static_cast<std::size_t>(m_sampleCount)] = value;
  if (m_sampleCount == 1 || value < m_lowest) m_lowest = value;
  if (m_sampleCount == 1 || value > m_highest) m_highest = value;
  return AppendResult::kStored;
}

AppendResult SampleStore::RecordLiveSample(std::int16_t value) {
  if (AppendSample(value) == AppendResult::kFull) return AppendResult::kFull;
  if (m_sampleCount == 1) {
    m_startTime = static_cast<float>(static_cast<double>(m_clock.SecondsSinceMidnight()) - 0.1);
  }
  m_lastTime = m_clock.SecondsSinceMidnight();
  if (m_lastTime < m_startTime) {
    m_startTime = static_cast<float>(static_cast<double>(m_startTime) - 86400.0);
  }
  return AppendResult::kStored;
}

void SampleStore::ClearSamples() {
  std::fill(m_samples.begin() + 1, m_samples.end(), std::int16_t{0});
  m_sampleCount = 0;
  const float now = m_clock.SecondsSinceMidnight();
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

std::int16_t SampleStore::LatestSample() const {
  return m_samples[static_cast<std::size_t>(m_sampleCount)];
}

double SampleStore::ElapsedSeconds() const {
  return static_cast<double>(m_lastTime) - static_cast<double>(m_startTime);
}

}  // namespace ampelon
