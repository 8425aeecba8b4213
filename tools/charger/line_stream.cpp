#include "charger/line_stream.h"

namespace ampelon {

LineStream::LineStream(ReadingSource& source, const Options& options)
    : m_source(source), m_options(options), m_random(options.seed), m_malformed(options.seed + 1) {}

std::optional<std::string> LineStream::NextLine() {
  if (m_options.maxReadings > 0 && m_readingsSent >= m_options.maxReadings) return std::nullopt;
  if (!m_pending) {
    m_pending = m_source.Next();
    if (!m_pending && m_options.loop) {
      m_source.Rewind();
      m_pending = m_source.Next();
    }
    if (!m_pending) return std::nullopt;
  }
  // A malformed line comes in addition to the readings, so the curve arrives complete.
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  if (m_options.malformedShare > 0.0 && chance(m_random) < m_options.malformedShare) {
    return m_malformed.Next(*m_pending);
  }
  std::string line = std::to_string(*m_pending) + '\n';
  m_pending.reset();
  ++m_readingsSent;
  return line;
}

}  // namespace ampelon
