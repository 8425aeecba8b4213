#pragma once

#include <cstddef>
#include <string>

#include "common/result.h"

namespace ampelon {

class ByteSink;
struct Charge;

// The readings [first, last) of `charge` as comma-separated values for a spreadsheet: the header
// row "sample,seconds,count,volts", then one row per reading with its sample number (from 1),
// its time in seconds with three decimals (empty where unknown), its count and its volts with
// four decimals. "." is the decimal point whatever the locale; every row ends with CR LF.
// Written in pieces, so that a charge of millions of readings never sits in memory twice.
Result<void> WriteCsv(const Charge& charge, std::size_t first, std::size_t last, ByteSink& sink);

// The rows of WriteCsv() for [first, last), without the header, added to `text`. Fails on a time
// too large to write (times read from files never are), leaving `text` cut there.
Result<void> AppendCsvRows(const Charge& charge, std::size_t first, std::size_t last,
                           std::string& text);

inline constexpr const char* kCsvHeader = "sample,seconds,count,volts\r\n";

}  // namespace ampelon
