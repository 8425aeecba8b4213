#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "measurement/rejected_lines.h"

namespace ampelon {

class SampleStore;

// What one serial event did to the store.
struct DecodeSummary {
  int stored = 0;       // readings recorded
  int droppedFull = 0;  // valid readings that found the store full
};

// The value of a line (spaces already trimmed) when it is exactly the canonical decimal text of
// a 16-bit integer: "-" and digits for a negative value, digits alone otherwise, no "+", no
// leading zeros, no "-0". Anything else is rejected.
std::optional<std::int16_t> ParseReading(std::string_view line);

// Cuts the device's text into lines at each line feed and records every valid reading.
// Only spaces around a number are trimmed; a CR stays in the line and rejects it. Text after the
// last line feed waits in RxBuffer() for the next event. Work per event is proportional to the
// bytes received: only new bytes are searched for a line feed.
class SerialLineDecoder {
 public:
  // A line longer than this (line feed not counted) is never a reading, however its bytes are
  // split into events. A partial line that grows past it is dropped at once, and everything up
  // to its next line feed with it, so that a device that never ends its lines cannot exhaust
  // memory.
  static constexpr std::size_t kMaxPartialLine = std::size_t{1} << 20;

  // `store` must outlive the decoder. `maxLineLength` is kMaxPartialLine except in tests that
  // reach the limit with short lines.
  explicit SerialLineDecoder(SampleStore& store, std::size_t maxLineLength = kMaxPartialLine);

  // Handles the text read from the serial control in one event (read once per event).
  DecodeSummary OnSerialEvent(std::string_view received);

  // Drops the incomplete line, for when the line it belongs to can no longer arrive whole (the
  // port was lost in the middle of it), and what the rejected lines before it had in common.
  void DiscardPartialLine();

  // The incomplete line carried over to the next event.
  const std::string& RxBuffer() const { return m_rxBuffer; }
  // The lines rejected since the last reading, gathered while splitting.
  const RejectedLines& Rejections() const { return m_rejections; }

 private:
  void HandleLine(std::string_view line, DecodeSummary& summary);

  SampleStore& m_store;
  std::size_t m_maxLineLength;
  std::string m_rxBuffer;
  bool m_discardingLine = false;  // the current partial line passed m_maxLineLength
  RejectedLines m_rejections;
};

}  // namespace ampelon
