#pragma once

namespace SQLite {
class Database;
}

namespace ampelon {

// The charge library's layout, counted in PRAGMA user_version: 0 is an empty file.
int LibrarySchemaVersion();

// Brings `database` (of LibrarySchemaVersion() or older) up to date in one transaction, which
// waits for another program doing the same. Throws SQLite::Exception, and std::runtime_error for
// a file that a newer program migrated meanwhile.
void MigrateLibrary(SQLite::Database& database);

}  // namespace ampelon
