#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "viewer/charge.h"
#include "viewer/line_splitter.h"

namespace ampelon {

// Reads the viewer's own CSV export back (WriteCsv) as the charge it was written from: after the
// header row, each row "sample,seconds,count,volts" gives a reading's count and its time (none
// where the seconds are empty). The sample numbers and volts are not read: an export of the view
// starts past sample 1, and the volts follow from the count. Empty lines are passed over. The
// first line that is no such row ends the readings; its number and why are kept. Fed in pieces
// of any size.
class CsvChargeParser {
 public:
  // A row is a few dozen bytes; a longer line is no row.
  static constexpr std::size_t kLongestRow = 256;

  CsvChargeParser();
  // False once a line was no row: nothing more is read.
  bool Feed(std::string_view bytes);
  void Finish();

  // The line (from 1) that was no row, 0 when every line was one; and why.
  std::int64_t FailureLine() const { return m_failureLine; }
  const std::string& FailureReason() const { return m_failureReason; }
  std::size_t Readings() const { return m_charge.counts.size(); }
  // The readings and their times (none when no row had one).
  Charge TakeCharge();

 private:
  bool Row(std::string_view start, std::size_t length);
  bool Fail(std::string reason);

  LineSplitter m_lines;
  bool m_headerRead = false;
  bool m_anyTime = false;
  Charge m_charge;
  std::int64_t m_failureLine = 0;
  std::string m_failureReason;
};

// Whether `firstBytes`, a file's first bytes (at least kCsvHeader's length and one more, or the
// whole file), begin with the export's header row, after a UTF-8 byte order mark if any.
bool StartsWithCsvHeader(std::string_view firstBytes);

}  // namespace ampelon
