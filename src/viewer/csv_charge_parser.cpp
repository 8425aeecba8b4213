#include "viewer/csv_charge_parser.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "measurement/times_parser.h"
#include "viewer/charge_file.h"
#include "viewer/csv_export.h"

namespace ampelon {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The header row without its line ending.
std::string_view HeaderRow() {
  const std::string_view header = kCsvHeader;
  return header.substr(0, header.find('\r'));
}

}  // namespace

bool StartsWithCsvHeader(std::string_view firstBytes) {
  if (firstBytes.starts_with(kByteOrderMark)) firstBytes.remove_prefix(kByteOrderMark.size());
  if (!firstBytes.starts_with(HeaderRow())) return false;
  const std::string_view after = firstBytes.substr(HeaderRow().size());
  return after.empty() || after.front() == '\r' || after.front() == '\n';
}

CsvChargeParser::CsvChargeParser() : m_lines(kLongestRow + 1) {}

bool CsvChargeParser::Fail(std::string reason) {
  m_failureLine = m_lines.Lines();
  m_failureReason = std::move(reason);
  return false;
}

bool CsvChargeParser::Row(std::string_view row, std::size_t length) {
  if (!m_headerRead) {
    m_headerRead = true;
    if (row.starts_with(kByteOrderMark)) row.remove_prefix(kByteOrderMark.size());
    return row == HeaderRow() ? true : Fail("its first line is not the export's header row.");
  }
  if (length == 0) return true;
  if (length > kLongestRow) return Fail("the line is too long for a row.");
  std::array<std::string_view, 4> fields;
  std::size_t field = 0;
  for (std::size_t comma; (comma = row.find(',')) != std::string_view::npos;) {
    if (field == fields.size() - 1) return Fail("the row has more than four fields.");
    fields[field++] = row.substr(0, comma);
    row.remove_prefix(comma + 1);
  }
  if (field != fields.size() - 1) return Fail("the row has fewer than four fields.");
  fields[field] = row;
  int count = 0;
  const std::string_view countText = fields[2];
  const auto [end, error] =
      std::from_chars(countText.data(), countText.data() + countText.size(), count);
  if (error != std::errc() || end != countText.data() + countText.size() || count < -32768 ||
      count > 32767) {
    return Fail("its count is no whole number within -32768..32767.");
  }
  double seconds = std::numeric_limits<double>::quiet_NaN();
  if (!fields[1].empty()) {
    seconds = ParseSecondsLine(fields[1]);
    if (std::isnan(seconds)) return Fail("its seconds are no time.");
    m_anyTime = true;
  }
  m_charge.counts.push_back(static_cast<std::int16_t>(count));
  m_charge.seconds.push_back(seconds);
  return true;
}

bool CsvChargeParser::Feed(std::string_view bytes) {
  return m_lines.Feed(bytes, [this](std::string_view s, std::size_t n) { return Row(s, n); });
}

void CsvChargeParser::Finish() {
  m_lines.Finish([this](std::string_view s, std::size_t n) { return Row(s, n); });
  if (!m_headerRead && m_failureLine == 0) {
    m_failureLine = 1;
    m_failureReason = "it is empty.";
  }
}

Charge CsvChargeParser::TakeCharge() {
  Charge charge;
  charge.counts = std::move(m_charge.counts);
  charge.counts.shrink_to_fit();
  if (m_anyTime) AttachTimes(std::move(m_charge.seconds), charge);
  m_charge = Charge{};
  return charge;
}

}  // namespace ampelon
