// The times file beside a graph log, read as the viewer reads it for a charge, and the CSV
// export written from that charge, read back as the viewer opens it. Control bytes: the
// charge's readings (0..255), then the piece lengths the file is read in. The rest is the times
// file, and also a file opened as a CSV export and one looked at for the first lines of a graph
// log.
// Checked: any split of the file gives the same times as one piece; the times never outnumber
// the readings; the export of any times read never fails, never holds a NUL, has a header and
// one row of 4 fields per reading, each ended by CR LF; a time written reads back to the same
// value at 3 decimals; the export opens as the same counts and times, read in any pieces; and
// any file read as an export, or looked at for its first lines, gives the same in any pieces.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "measurement/byte_source.h"
#include "measurement/times_parser.h"
#include "viewer/byte_sink.h"
#include "viewer/charge.h"
#include "viewer/charge_file.h"
#include "viewer/csv_charge_parser.h"
#include "viewer/csv_export.h"
#include "viewer/first_lines_check.h"

namespace ampelon::fuzz {
namespace {

// Gives the file in the pieces chosen, then the rest, however large the reader's buffer.
class PieceSource final : public ByteSource {
 public:
  explicit PieceSource(std::vector<std::string_view> pieces) : m_pieces(std::move(pieces)) {}
  Result<std::size_t> Read(std::span<char> buffer) override {
    while (m_next < m_pieces.size() && m_pieces[m_next].empty()) ++m_next;
    if (m_next == m_pieces.size()) return std::size_t{0};
    std::string_view& piece = m_pieces[m_next];
    const std::size_t count = std::min(buffer.size(), piece.size());
    std::copy_n(piece.data(), count, buffer.data());
    piece.remove_prefix(count);
    return count;
  }

 private:
  std::vector<std::string_view> m_pieces;
  std::size_t m_next = 0;
};

class TextSink final : public ByteSink {
 public:
  Result<void> Write(std::string_view bytes) override {
    text += bytes;
    return {};
  }
  std::string text;
};

bool SameTimes(const std::vector<double>& a, const std::vector<double>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](double x, double y) { return (std::isnan(x) && std::isnan(y)) || x == y; });
}

std::vector<std::string_view> Fields(std::string_view row) {
  std::vector<std::string_view> fields;
  for (std::size_t comma; (comma = row.find(',')) != std::string_view::npos;) {
    fields.push_back(row.substr(0, comma));
    row.remove_prefix(comma + 1);
  }
  fields.push_back(row);
  return fields;
}

std::string ThreeDecimals(double seconds) {
  std::array<char, 64> digits{};
  const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), seconds,
                                     std::chars_format::fixed, 3);
  FUZZ_CHECK(written.ec == std::errc());
  return std::string(digits.data(), written.ptr);
}

bool SameCharge(const Charge& a, const Charge& b) {
  return a.counts == b.counts && SameTimes(a.seconds, b.seconds);
}

// `file` read as a CSV export in the pieces given.
struct CsvRead {
  Charge charge;
  std::int64_t failureLine;
};
CsvRead ReadCsv(const std::vector<std::string_view>& pieces) {
  CsvChargeParser parser;
  for (const std::string_view piece : pieces) {
    if (!parser.Feed(piece)) break;
  }
  parser.Finish();
  const std::int64_t failureLine = parser.FailureLine();
  return {parser.TakeCharge(), failureLine};
}

std::optional<std::string> FirstLinesReason(const std::vector<std::string_view>& pieces) {
  FirstLinesCheck check;
  for (const std::string_view piece : pieces) check.Feed(piece);
  check.Finish();
  return check.Reason();
}

// Written out and opened again, in the pieces of `lengths`.
void CheckRoundTrip(const Charge& charge, std::string_view csv,
                    const std::vector<std::size_t>& lengths) {
  const CsvRead read = ReadCsv(SplitIntoPieces(csv, lengths));
  FUZZ_CHECK(read.failureLine == 0);
  FUZZ_CHECK(read.charge.counts == charge.counts);
  FUZZ_CHECK(read.charge.seconds.size() == charge.seconds.size());
  for (std::size_t i = 0; i < charge.seconds.size(); ++i) {
    const double written = charge.seconds[i];
    const double readBack = read.charge.seconds[i];
    FUZZ_CHECK(std::isnan(written) == std::isnan(readBack));
    if (!std::isnan(written)) FUZZ_CHECK(ThreeDecimals(written) == ThreeDecimals(readBack));
  }
}

std::string CheckCsv(const Charge& charge) {
  TextSink sink;
  FUZZ_CHECK(WriteCsv(charge, 0, charge.counts.size(), sink));
  const std::string_view csv = sink.text;
  FUZZ_CHECK(csv.find('\0') == std::string_view::npos);
  FUZZ_CHECK(csv.starts_with(kCsvHeader));
  std::string_view rows = csv.substr(std::string_view(kCsvHeader).size());
  std::size_t reading = 0;
  while (!rows.empty()) {
    const std::size_t end = rows.find("\r\n");
    FUZZ_CHECK(end != std::string_view::npos);
    const std::vector<std::string_view> fields = Fields(rows.substr(0, end));
    rows.remove_prefix(end + 2);
    FUZZ_CHECK(fields.size() == 4);
    FUZZ_CHECK(reading < charge.counts.size());
    const double seconds = reading < charge.seconds.size() ? charge.seconds[reading] : std::nan("");
    FUZZ_CHECK(fields[1].empty() == std::isnan(seconds));
    if (!fields[1].empty()) {
      const double readBack = ParseSecondsLine(fields[1]);
      FUZZ_CHECK(ThreeDecimals(readBack) == fields[1]);
      FUZZ_CHECK(std::abs(readBack - seconds) <= 0.0005 + seconds * 1e-15);
    }
    ++reading;
  }
  FUZZ_CHECK(reading == charge.counts.size());
  return sink.text;
}

}  // namespace
}  // namespace ampelon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ampelon;
  using namespace ampelon::fuzz;
  FuzzInput input(data, size);
  const std::uint8_t readings = input.TakeByte();
  const std::vector<std::size_t> lengths = input.TakePieceLengths(64);
  const std::string_view file = input.Rest();

  Charge whole;
  for (int i = 0; i < readings; ++i) whole.counts.push_back(static_cast<std::int16_t>(i * 2731));
  PieceSource wholeSource({file});
  FUZZ_CHECK(ReadChargeTimes(wholeSource, whole));
  Charge split = whole;
  split.seconds.clear();
  PieceSource splitSource(SplitIntoPieces(file, lengths));
  FUZZ_CHECK(ReadChargeTimes(splitSource, split));
  FUZZ_CHECK(SameTimes(split.seconds, whole.seconds));
  FUZZ_CHECK(whole.seconds.empty() || whole.seconds.size() == whole.counts.size());
  CheckRoundTrip(whole, CheckCsv(whole), lengths);

  const CsvRead csvWhole = ReadCsv({file});
  const CsvRead csvSplit = ReadCsv(SplitIntoPieces(file, lengths));
  FUZZ_CHECK(SameCharge(csvWhole.charge, csvSplit.charge));
  FUZZ_CHECK(csvWhole.failureLine == csvSplit.failureLine);
  FUZZ_CHECK(csvWhole.charge.seconds.empty() ||
             csvWhole.charge.seconds.size() == csvWhole.charge.counts.size());
  FUZZ_CHECK(FirstLinesReason({file}) == FirstLinesReason(SplitIntoPieces(file, lengths)));
  return 0;
}
