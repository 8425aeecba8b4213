#include "charger/pacer.h"

#include <algorithm>

namespace ampelon {

Pacer::Pacer(double gapSeconds, double bytesPerSecond)
    : m_gapSeconds(gapSeconds), m_bytesPerSecond(bytesPerSecond) {}

double Pacer::StartTime(double now, std::size_t bytes) {
  const double start = m_started ? std::max({now, m_nextDue, m_wireFree}) : now;
  m_started = true;
  m_nextDue = start + m_gapSeconds;
  m_wireFree = start + static_cast<double>(bytes) / m_bytesPerSecond;
  return start;
}

}  // namespace ampelon
