#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "common/result.h"

namespace SQLite {
class Database;
}

namespace ampelon {

struct OpenedLibrary {
  std::unique_ptr<SQLite::Database> database;
  std::string setAsideMessage;  // "" when nothing was set aside
};

// Opens the charge library at `path` ready for use: the folder and a file only its owner may
// read made where missing, checked (PRAGMA quick_check), in WAL mode with a busy timeout, and
// brought up to date. A file that is no database, a damaged one or another program's is set
// aside under SetAsideName() and a new one started. A read-only folder or file, or one written
// by a newer Ampelon, is a Failure that leaves everything as it is.
Result<OpenedLibrary> OpenLibraryFile(const std::filesystem::path& path);

// Where a damaged library at `path` goes: beside it, named for the time (UTC) it was set
// aside, "charges-set-aside-2024-05-01-134510.sqlite".
std::filesystem::path SetAsideName(const std::filesystem::path& path,
                                   std::chrono::system_clock::time_point when);

}  // namespace ampelon
