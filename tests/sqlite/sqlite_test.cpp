#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>

#include <cstdio>
#include <string>

namespace ampelon {
namespace {

// Two programs write one charge library at once only in write-ahead-log mode, which needs shared
// memory beside the file: a file database takes it (under Wine too); one in memory keeps its own
// journal.
TEST(Sqlite, JournalModeAfterAskingForWriteAheadLog) {
  const std::string file = ::testing::TempDir() + "ampelon-sqlite-test.sqlite";
  const struct {
    std::string database;
    const char* expected;
  } cases[] = {{":memory:", "memory"}, {file, "wal"}};
  for (const auto& c : cases) {
    SQLite::Database database(c.database, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    EXPECT_EQ(database.execAndGet("PRAGMA journal_mode = WAL").getString(), c.expected)
        << c.database;
  }
  std::remove(file.c_str());
}

}  // namespace
}  // namespace ampelon
