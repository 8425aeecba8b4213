#include "viewer/csv_export.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "common/volts.h"
#include "viewer/byte_sink.h"
#include "viewer/charge.h"

namespace ampelon {
namespace {

// Rows written at a time: about a megabyte.
constexpr std::size_t kRowsPerPiece = 32768;

template <typename... Format>
void AppendNumber(std::string& text, auto value, Format... format) {
  std::array<char, 64> digits{};
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value, format...);
  text.append(digits.data(), result.ptr);
}

}  // namespace

void AppendCsvRows(const Charge& charge, std::size_t first, std::size_t last, std::string& text) {
  last = std::min(last, charge.counts.size());
  for (std::size_t i = first; i < last; ++i) {
    AppendNumber(text, i + 1);
    text += ',';
    if (i < charge.seconds.size() && std::isfinite(charge.seconds[i])) {
      AppendNumber(text, charge.seconds[i], std::chars_format::fixed, 3);
    }
    text += ',';
    AppendNumber(text, static_cast<int>(charge.counts[i]));
    text += ',';
    AppendNumber(text, static_cast<double>(Volts(charge.counts[i])), std::chars_format::fixed, 4);
    text += "\r\n";
  }
}

Result<void> WriteCsv(const Charge& charge, std::size_t first, std::size_t last, ByteSink& sink) {
  last = std::min(last, charge.counts.size());
  std::string text = kCsvHeader;
  for (std::size_t start = std::min(first, last);; start += kRowsPerPiece) {
    const std::size_t end = std::min(last, start + kRowsPerPiece);
    AppendCsvRows(charge, start, end, text);
    if (const Result<void> written = sink.Write(text); !written) return written;
    text.clear();
    if (end >= last) return {};
  }
}

}  // namespace ampelon
