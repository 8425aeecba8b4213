#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/charge_record.h"

namespace SQLite {
class Database;
class Statement;
}  // namespace SQLite

namespace ampelon {

// The charge table's rows as ChargeRecords; these throw SQLite::Exception.

// The columns ReadChargeRow() reads, for "SELECT <columns> FROM charge ...".
extern const char* const kChargeColumns;

// The charges (without their notes) that `select` (over kChargeColumns) gives, with the
// parameters already bound.
std::vector<ChargeRecord> ReadChargeRows(SQLite::Statement& select);

// Reads the notes of `charges` (in any order) from the rows of `select`, which gives note id,
// charge id, sample, seconds and text.
void ReadNoteRows(SQLite::Statement& select, std::vector<ChargeRecord>& charges);

// Inserts one charge of a file, or where the library has it (same hash and index) updates its
// path and figures, keeping its date, details and notes.
void UpsertChargeRow(SQLite::Database& database, const std::string& path,
                     std::uint64_t readingsHash, std::size_t chargeIndex, std::int64_t recordedAt,
                     const ChargeFigures& figures);

}  // namespace ampelon
