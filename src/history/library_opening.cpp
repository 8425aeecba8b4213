#include "history/library_opening.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <utility>

#include "common/utf8_path.h"
#include "history/library_schema.h"

namespace ampelon {

namespace fs = std::filesystem;

namespace {

// Long enough for the other program's longest write (a registration takes milliseconds); the
// programs call the library off their user-interface thread.
constexpr int kBusyTimeoutMilliseconds = 5000;

std::string Quoted(const fs::path& path) {
  // Appended rather than added up: GCC 12 warns wrongly (-Wrestrict) of "\"" + text at -O3.
  std::string quoted(1, '"');
  quoted.append(Utf8FromPath(path)).push_back('"');
  return quoted;
}

// No write bit at all is the user's own mark, which holds for an administrator too.
bool MarkedReadOnly(const fs::path& path) {
  std::error_code error;
  const fs::perms permissions = fs::status(path, error).permissions();
  constexpr fs::perms kWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return !error && permissions != fs::perms::unknown && (permissions & kWrite) == fs::perms::none;
}

Result<void> MakeFolder(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    return Failure{"The folder " + Quoted(folder) +
                   " for the charge library cannot be made: " + error.message() + "."};
  }
  if (MarkedReadOnly(folder)) {
    return Failure{"The folder " + Quoted(folder) +
                   " is read-only, so the charge library cannot be kept there."};
  }
  return {};
}

// An empty file is a database of version 0.
Result<void> MakeFile(const fs::path& path) {
  std::ofstream file(path, std::ios::binary);
  if (!file) {
    return Failure{"The charge library " + Quoted(path) +
                   " cannot be made: " + std::generic_category().message(errno) + "."};
  }
  return {};
}

// Only its owner may read the library (the WAL files SQLite adds take the same permissions).
Result<void> KeepPrivate(const fs::path& path) {
  std::error_code error;
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, error);
  if (error) {
    return Failure{"The charge library " + Quoted(path) +
                   " cannot be kept private: " + error.message() + "."};
  }
  return {};
}

// The first line that says what is wrong, after any "*** in database main ***".
std::string FirstLine(const std::string& text) {
  std::size_t start = 0;
  while (text.compare(start, 4, "*** ") == 0 && text.find('\n', start) != std::string::npos) {
    start = text.find('\n', start) + 1;
  }
  return text.substr(start, text.find('\n', start) - start);
}

// An open database, or what is wrong with a damaged file.
struct CheckedFile {
  std::unique_ptr<SQLite::Database> database;
  std::string damage;
};

Result<CheckedFile> OpenAndCheck(const fs::path& path) {
  try {
    auto database = std::make_unique<SQLite::Database>(Utf8FromPath(path), SQLite::OPEN_READWRITE,
                                                       kBusyTimeoutMilliseconds);
    // A file the system lets no one write opens read-only without a word.
    if (sqlite3_db_readonly(database->getHandle(), "main") == 1) {
      return Failure{"The charge library " + Quoted(path) + " is read-only."};
    }
    SQLite::Statement check(*database, "PRAGMA quick_check");
    const std::string verdict = check.executeStep() ? check.getColumn(0).getString() : "";
    if (verdict != "ok") return CheckedFile{nullptr, "it failed its check: " + FirstLine(verdict)};
    const int version = database->execAndGet("PRAGMA user_version").getInt();
    if (version > LibrarySchemaVersion()) {
      return Failure{"The charge library " + Quoted(path) + " was written by a newer Ampelon" +
                     " (its layout " + std::to_string(version) + ", this one knows up to " +
                     std::to_string(LibrarySchemaVersion()) + "), so it is left as it is."};
    }
    // Below 0 is no layout of ours: another program's number, or damage.
    if (version < 0 ||
        (version == 0 && database->execAndGet("SELECT count(*) FROM sqlite_schema").getInt() > 0)) {
      return CheckedFile{nullptr, "it holds another program's tables"};
    }
    return CheckedFile{std::move(database), ""};
  } catch (const SQLite::Exception& error) {
    const int code = error.getErrorCode() & 0xff;
    if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) {
      return CheckedFile{nullptr, FirstLine(error.what())};
    }
    return Failure{"The charge library " + Quoted(path) + " cannot be opened: " + error.what() +
                   "."};
  }
}

fs::path WithSuffix(const fs::path& path, const char* suffix) {
  fs::path withSuffix = path;
  withSuffix += suffix;
  return withSuffix;
}

// Moves the damaged file, with the WAL it may have, out of the way; the shared-memory index is
// rebuilt from them when the file is looked at again.
Result<fs::path> SetAside(const fs::path& path) {
  const fs::path first = SetAsideName(path, std::chrono::system_clock::now());
  fs::path aside = first;
  for (int copy = 2; fs::exists(aside); ++copy) {
    fs::path name = first.stem();
    name += "-";
    name += std::to_string(copy);
    name += first.extension();
    aside = first.parent_path() / name;
  }
  std::error_code error;
  fs::rename(path, aside, error);
  if (error) {
    return Failure{"The charge library " + Quoted(path) +
                   " is damaged and cannot be set aside: " + error.message() + "."};
  }
  for (const char* suffix : {"-wal", "-journal"}) {
    if (fs::exists(WithSuffix(path, suffix), error)) {
      fs::rename(WithSuffix(path, suffix), WithSuffix(aside, suffix), error);
    }
  }
  fs::remove(WithSuffix(path, "-shm"), error);
  return aside;
}

Result<void> Prepare(SQLite::Database& database, const fs::path& path) {
  try {
    const std::string mode = database.execAndGet("PRAGMA journal_mode = WAL").getString();
    if (mode != "wal") {
      return Failure{"The charge library " + Quoted(path) +
                     " cannot be shared between Ampelon and the viewer on this disk (" + mode +
                     " journal)."};
    }
    database.exec("PRAGMA synchronous = NORMAL");
    database.exec("PRAGMA foreign_keys = ON");
    MigrateLibrary(database);
    return {};
  } catch (const std::exception& error) {
    return Failure{"The charge library " + Quoted(path) +
                   " cannot be brought up to date: " + error.what() + "."};
  }
}

Result<CheckedFile> OpenExisting(const fs::path& path) {
  std::error_code error;
  if (!fs::exists(path, error)) {
    if (const Result<void> made = MakeFile(path); !made) return Failure{made.error()};
  } else if (MarkedReadOnly(path)) {
    return Failure{"The charge library " + Quoted(path) + " is read-only."};
  }
  return OpenAndCheck(path);
}

}  // namespace

fs::path SetAsideName(const fs::path& path, std::chrono::system_clock::time_point when) {
  using namespace std::chrono;
  const auto second = floor<seconds>(when);
  const auto day = floor<days>(second);
  const year_month_day date(day);
  const hh_mm_ss time(second - day);
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "-set-aside-%04d-%02u-%02u-%02ld%02ld%02ld",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<long>(time.hours().count()),
                static_cast<long>(time.minutes().count()),
                static_cast<long>(time.seconds().count()));
  fs::path name = path.stem();
  name += stamp;
  name += path.extension();
  return path.parent_path() / name;
}

Result<OpenedLibrary> OpenLibraryFile(const fs::path& path) {
  if (const Result<void> folder = MakeFolder(path.parent_path()); !folder) {
    return Failure{folder.error()};
  }
  Result<CheckedFile> checked = OpenExisting(path);
  if (!checked) return Failure{checked.error()};
  std::string message;
  if (!checked->database) {
    const Result<fs::path> aside = SetAside(path);
    if (!aside) return Failure{aside.error()};
    message = "The charge library could not be read (" + checked->damage +
              "), so it was set aside as " + Quoted(*aside) + " and a new one was started.";
    checked = OpenExisting(path);
    if (!checked) return Failure{checked.error()};
    if (!checked->database) return Failure{"The new charge library is damaged too."};
  }
  if (const Result<void> kept = KeepPrivate(path); !kept) return Failure{kept.error()};
  if (const Result<void> prepared = Prepare(*checked->database, path); !prepared) {
    return Failure{prepared.error()};
  }
  return OpenedLibrary{std::move(checked->database), std::move(message)};
}

}  // namespace ampelon
