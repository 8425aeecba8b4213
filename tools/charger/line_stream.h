#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "charger/malformed_line_maker.h"
#include "charger/reading_source.h"

namespace ampelon {

// The lines the simulated device sends: each reading as its canonical decimal text and a line
// feed, with malformed lines mixed in at random.
class LineStream {
 public:
  struct Options {
    double malformedShare = 0.0;  // 0 <= share < 1: the expected share of malformed lines
    long long maxReadings = 0;    // stop after this many readings; 0 for no limit
    bool loop = false;            // start the source again when it runs out
    std::uint32_t seed = 1;
  };

  // `source` must outlive the stream.
  LineStream(ReadingSource& source, const Options& options);

  // The next line with its line feed; nothing once the readings are exhausted.
  std::optional<std::string> NextLine();

  long long ReadingsSent() const { return m_readingsSent; }

 private:
  ReadingSource& m_source;
  Options m_options;
  std::minstd_rand m_random;
  MalformedLineMaker m_malformed;
  std::optional<int> m_pending;  // the reading the next valid line will carry
  long long m_readingsSent = 0;
};

}  // namespace ampelon
