#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

namespace ampelon {
namespace {

// Two programs write one charge library at the same time only in write-ahead-log mode, which
// needs shared memory beside the file: a file database takes it (under Wine too); a database in
// memory has no file and keeps its own journal.
TEST(Sqlite, JournalModeAfterAskingForWriteAheadLog) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("ampelon-sqlite-" +
                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(folder);
  const struct {
    std::string database;
    const char* expected;
  } cases[] = {
      {":memory:", "memory"},
      {(folder / "charges.sqlite").string(), "wal"},
  };
  for (const auto& c : cases) {
    SQLite::Database database(c.database, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    EXPECT_EQ(database.execAndGet("PRAGMA journal_mode = WAL").getString(), c.expected)
        << c.database;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace ampelon
