#include "viewer/csv_export.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "common/volts.h"
#include "viewer/byte_sink.h"
#include "viewer/charge.h"

namespace ampelon {
namespace {

// Rows written at a time: about a megabyte.
constexpr std::size_t kRowsPerPiece = 32768;

// Adds `value` as to_chars writes it; false, adding nothing, when it does not fit.
template <typename... Format>
[[nodiscard]] bool AppendNumber(std::string& text, auto value, Format... format) {
  std::array<char, 64> digits{};
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value, format...);
  if (result.ec != std::errc()) return false;
  text.append(digits.data(), result.ptr);
  return true;
}

}  // namespace

Result<void> AppendCsvRows(const Charge& charge, std::size_t first, std::size_t last,
                           std::string& text) {
  last = std::min(last, charge.counts.size());
  for (std::size_t i = first; i < last; ++i) {
    const double seconds =
        i < charge.seconds.size() ? charge.seconds[i] : std::numeric_limits<double>::quiet_NaN();
    // Only a time can fail to fit: from some 10^58 s on.
    bool written = AppendNumber(text, i + 1);
    text += ',';
    if (std::isfinite(seconds)) {
      written = AppendNumber(text, seconds, std::chars_format::fixed, 3) && written;
    }
    text += ',';
    written = AppendNumber(text, static_cast<int>(charge.counts[i])) && written;
    text += ',';
    written = AppendNumber(text, static_cast<double>(Volts(charge.counts[i])),
                           std::chars_format::fixed, 4) &&
              written;
    if (!written) {
      std::string time;
      // assign, not = "?": GCC 12 at -O3 warns falsely (restrict) on the latter.
      if (!AppendNumber(time, seconds)) time.assign(1, '?');
      return Failure{"The time of sample " + std::to_string(i + 1) + " (" + time +
                     " s) cannot be written."};
    }
    text += "\r\n";
  }
  return {};
}

Result<void> WriteCsv(const Charge& charge, std::size_t first, std::size_t last, ByteSink& sink) {
  last = std::min(last, charge.counts.size());
  std::string text = kCsvHeader;
  for (std::size_t start = std::min(first, last);; start += kRowsPerPiece) {
    const std::size_t end = std::min(last, start + kRowsPerPiece);
    if (const Result<void> rows = AppendCsvRows(charge, start, end, text); !rows) return rows;
    if (const Result<void> written = sink.Write(text); !written) return written;
    text.clear();
    if (end >= last) return {};
  }
}

}  // namespace ampelon
