#include "history/library_schema.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Transaction.h>

#include <array>
#include <stdexcept>
#include <string>

namespace ampelon {

namespace {

// Each step takes the file from the version of its place in the list to the next one. Steps
// are never changed once released: a new layout is a new step.
constexpr std::array kSteps = {
    // 0 to 1: the charges with their figures and details, and the notes pinned to them.
    R"sql(
CREATE TABLE charge (
  id INTEGER PRIMARY KEY,
  readings_hash INTEGER NOT NULL,
  charge_index INTEGER NOT NULL,
  path TEXT NOT NULL,
  recorded_at INTEGER NOT NULL,
  first_sample INTEGER NOT NULL,
  last_sample INTEGER NOT NULL,
  times_known INTEGER NOT NULL,
  start_volts REAL NOT NULL,
  peak_volts REAL NOT NULL,
  peak_sample INTEGER NOT NULL,
  peak_seconds REAL,
  charge_end TEXT NOT NULL,
  end_sample INTEGER,
  end_seconds REAL,
  drop_millivolts REAL NOT NULL,
  duration_seconds REAL,
  slope_millivolts_per_minute REAL,
  noise_millivolts REAL NOT NULL,
  battery TEXT NOT NULL DEFAULT '',
  chemistry TEXT NOT NULL DEFAULT '',
  rated_milliamp_hours INTEGER,
  current_milliamps INTEGER,
  details_notes TEXT NOT NULL DEFAULT '',
  UNIQUE (readings_hash, charge_index)
);
CREATE INDEX charge_by_battery ON charge (battery, recorded_at);
CREATE TABLE note (
  id INTEGER PRIMARY KEY,
  charge_id INTEGER NOT NULL REFERENCES charge (id) ON DELETE CASCADE,
  sample INTEGER NOT NULL,
  seconds REAL,
  text TEXT NOT NULL
);
CREATE INDEX note_by_charge ON note (charge_id, sample);
)sql",
};

int UserVersion(SQLite::Database& database) {
  return database.execAndGet("PRAGMA user_version").getInt();
}

}  // namespace

int LibrarySchemaVersion() { return static_cast<int>(kSteps.size()); }

void MigrateLibrary(SQLite::Database& database) {
  // Read before any write lock: a library that is up to date opens while another program holds
  // a long write, as WAL lets it be read meanwhile.
  if (UserVersion(database) == LibrarySchemaVersion()) return;
  SQLite::Transaction transaction(database, SQLite::TransactionBehavior::IMMEDIATE);
  int version = UserVersion(database);
  if (version > LibrarySchemaVersion()) {
    throw std::runtime_error("a newer Ampelon changed it meanwhile");
  }
  // No step is below 0: a file that says so was changed by another program since it was opened.
  if (version < 0) throw std::runtime_error("another program changed its layout meanwhile");
  if (version == LibrarySchemaVersion()) return;
  for (; version < LibrarySchemaVersion(); ++version) database.exec(kSteps[version]);
  database.exec("PRAGMA user_version = " + std::to_string(version));
  transaction.commit();
}

}  // namespace ampelon
