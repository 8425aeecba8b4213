#include "history/charge_library.h"

#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <thread>

#include "common/utf8_path.h"
#include "history/readings_hash.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

ChargeFigures Figures(double peakVolts) {
  ChargeFigures figures;
  figures.lastSample = 3000;
  figures.timesKnown = true;
  figures.peakVolts = peakVolts;
  figures.peakSample = 2800;
  figures.peakSeconds = 5600.0;
  figures.end = ChargeEnd::kPeakPassed;
  figures.endSample = 2900;
  figures.dropMillivolts = 6.5;
  return figures;
}

ChargeLibrary Opened(const fs::path& path) {
  Result<ChargeLibrary> library = ChargeLibrary::Open(path);
  EXPECT_TRUE(library) << library.error();
  return std::move(*library);
}

// A library of the current layout holding one charge.
void MakeLibrary(const fs::path& path) {
  ChargeLibrary library = Opened(path);
  ASSERT_TRUE(library.Register("/logs/a.txt", 7, 1000, {Figures(1.5)}));
}

class ChargeLibraryTest : public ::testing::Test {
 protected:
  ChargeLibraryTest() {
    m_folder = fs::temp_directory_path() /
               PathFromUtf8("ampelon-history-\u65e5-" + std::to_string(std::random_device{}()));
    fs::create_directories(m_folder);
    m_path = m_folder / "Trevanix Ampelon" / "charges.sqlite";
  }
  ~ChargeLibraryTest() override {
    fs::permissions(m_folder, fs::perms::owner_all);
    fs::remove_all(m_folder);
  }

  fs::path m_folder;
  fs::path m_path;
};

// Every file an earlier (or no) Ampelon may have left opens; what cannot be read is set aside
// whole with one message naming where; what must not be changed is refused and left as it was.
TEST_F(ChargeLibraryTest, OpensEveryEarlierFileAndSetsAsideOrRefusesTheRest) {
  struct Row {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* failure;  // "" when it opens
    bool setAside;
    bool keepsCharge;
  };
  const auto database = [](const char* sql) {
    return [sql](const fs::path& path) {
      SQLite::Database made(Utf8FromPath(path), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
      made.exec(sql);
    };
  };
  std::optional<SQLite::Database> writer;  // another program's long write, ended after the open
  const Row rows[] = {
      {"no file", [](const fs::path&) {}, "", false, false},
      {"an empty file", [](const fs::path& path) { Write(path, ""); }, "", false, false},
      {"a database of version 0", database("PRAGMA user_version = 0"), "", false, false},
      {"this layout", [](const fs::path& path) { MakeLibrary(path); }, "", false, true},
      {"another program's database", database("CREATE TABLE songs (title TEXT)"), "", true, false},
      {"a layout below 0", database("PRAGMA user_version = -1; CREATE TABLE charge (x)"), "", true,
       false},
      {"text", [](const fs::path& path) { Write(path, std::string(5000, 'x')); }, "", true, false},
      {"a damaged library",
       [](const fs::path& path) {
         MakeLibrary(path);
         std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
         file.seekp(4096);
         file << std::string(8192, '\x55');
       },
       "", true, false},
      {"a newer layout", database("PRAGMA user_version = 99; CREATE TABLE later (x)"),
       "was written by a newer Ampelon (its layout 99, this one knows up to 1), so it is left as "
       "it is.",
       false, false},
      {"a read-only library",
       [](const fs::path& path) {
         MakeLibrary(path);
         fs::permissions(path, fs::perms::owner_read);
       },
       "charges.sqlite\" is read-only.", false, false},
#ifndef _WIN32  // Windows lets a read-only folder take new files
      {"a read-only folder",
       [](const fs::path& path) {
         fs::permissions(path.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
       },
       "Ampelon\" is read-only, so the charge library cannot be kept there.", false, false},
#endif
      {"a library another program is writing to",
       [&writer](const fs::path& path) {
         MakeLibrary(path);
         writer.emplace(Utf8FromPath(path), SQLite::OPEN_READWRITE);
         writer->exec("BEGIN IMMEDIATE");
       },
       "", false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::create_directories(m_path.parent_path());
    row.make(m_path);
    const std::string before = Bytes(m_path);
    {  // closed before its folder goes: Windows removes no open file
      Result<ChargeLibrary> library = ChargeLibrary::Open(m_path);
      const auto entries = std::distance(fs::directory_iterator(m_path.parent_path()), {});
      if (*row.failure != '\0') {
        ASSERT_FALSE(library);
        EXPECT_NE(library.error().find(row.failure), std::string::npos) << library.error();
        EXPECT_EQ(Bytes(m_path), before);
        EXPECT_LE(entries, 1);
      } else {
        ASSERT_TRUE(library) << library.error();
        const std::string& message = library->SetAsideMessage();
        EXPECT_EQ(!message.empty(), row.setAside) << message;
        if (row.setAside) {
          const auto quote = message.find(" as \"") + 5;
          const fs::path aside =
              PathFromUtf8(message.substr(quote, message.find('"', quote) - quote));
          EXPECT_EQ(aside.parent_path(), m_path.parent_path());
          EXPECT_EQ(Bytes(aside), before);
        }
        EXPECT_EQ(library->Find(7, 0)->has_value(), row.keepsCharge);
        writer.reset();
        EXPECT_TRUE(library->Register("/logs/b.txt", 8, 2000, {Figures(1.5)}));
#ifndef _WIN32
        EXPECT_EQ(fs::status(m_path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
      }
    }
    writer.reset();
    std::error_code none;                                 // a row may have left no file
    fs::permissions(m_path, fs::perms::owner_all, none);  // Windows removes no read-only file
    fs::permissions(m_path.parent_path(), fs::perms::owner_all);
    fs::remove_all(m_path.parent_path());
  }
}

// A charge registered again (moved, copied, opened once more) is one row: its path and figures
// follow the file, its details and notes stay; the queries find it under its battery.
TEST_F(ChargeLibraryTest, RegisteringAgainKeepsDetailsAndNotes) {
  ChargeLibrary library = Opened(m_path);
  const std::vector<ChargeRecord> first =
      library.Register("/logs/a.txt", 0xfedcba9876543210u, 1000, {Figures(1.5), Figures(1.4)})
          .value();
  ASSERT_EQ(first.size(), 2u);
  const BatteryDetails details{" Pack 3 ", Chemistry::kNiMH, 2000, 1000, "from the drawer"};
  ASSERT_TRUE(library.SetDetails(first[1].id, details));
  const std::int64_t note = library.AddNote(first[1].id, {0, 120, 240.0, "fan on"}).value();
  ASSERT_TRUE(library.AddNote(first[1].id, {0, 60, std::nullopt, "cell reseated"}));
  ASSERT_TRUE(library.UpdateNote(note, "fan off"));

  const ChargeRecord again =
      library.Register("/moved/a.txt", 0xfedcba9876543210u, 5000, {Figures(1.5), Figures(1.45)})
          ->at(1);
  EXPECT_EQ(again.id, first[1].id);
  EXPECT_EQ(again.path, "/moved/a.txt");
  EXPECT_EQ(again.recordedAt, 1000);
  EXPECT_EQ(again.figures.peakVolts, 1.45);
  EXPECT_EQ(again.figures.endSample, 2900u);
  EXPECT_EQ(again.details.battery, "Pack 3");
  EXPECT_EQ(again.details.currentMilliamps, 1000);
  ASSERT_EQ(again.notes.size(), 2u);
  EXPECT_EQ(again.notes[0].text, "cell reseated");
  EXPECT_EQ(again.notes[1], (PinnedNote{note, 120, 240.0, "fan off"}));

  ASSERT_TRUE(library.Register("/logs/b.txt", 9, 500, {Figures(1.5)}));
  ASSERT_TRUE(library.SetDetails(library.Find(9, 0)->value().id,
                                 {"pack  3", Chemistry::kUnknown, {}, {}, ""}));
  ASSERT_TRUE(library.SetDetails(first[0].id, {"AA 1", Chemistry::kNiCd, {}, {}, ""}));
  EXPECT_EQ(library.BatteryNames().value(), (std::vector<std::string>{"AA 1", "Pack 3"}));
  const std::vector<ChargeRecord> pack = library.ChargesOf("PACK 3").value();
  ASSERT_EQ(pack.size(), 2u);
  EXPECT_EQ(pack[0].path, "/logs/b.txt");
  EXPECT_EQ(pack[1].notes.size(), 2u);
  // A charge of no named battery is found too, as a battery of no name listed last.
  ASSERT_TRUE(library.Register("/logs/c.txt", 10, 9000, {Figures(1.5)}));
  const std::vector<BatterySummary> batteries = library.Batteries().value();
  ASSERT_EQ(batteries.size(), 3u);
  EXPECT_EQ(batteries[1].charges, 2);
  EXPECT_EQ(batteries[1].chemistry, Chemistry::kNiMH);
  EXPECT_EQ(batteries[1].lastCharged, 1000);
  EXPECT_EQ(batteries[2].name, "");
  EXPECT_EQ(batteries[2].lastCharged, 9000);
  EXPECT_NE(batteries[2].judgement.find("no named battery"), std::string::npos);
  EXPECT_EQ(library.ChargesOf("").value().at(0).path, "/logs/c.txt");

  ASSERT_TRUE(library.RemoveNote(note));
  EXPECT_EQ(library.RemoveNote(note).error(), "That note is no longer in the charge library.");
  EXPECT_EQ(library.AddNote(12345, {}).error(), "That charge is no longer in the charge library.");
}

// Ampelon and the viewer write at the same time, or one holds its write a while: both succeed,
// the later one waiting within the busy timeout.
TEST_F(ChargeLibraryTest, TwoWritersAtOnceBothSucceed) {
  for (const int holdMilliseconds : {0, 300}) {
    SCOPED_TRACE(holdMilliseconds);
    {  // closed before its folder goes: Windows removes no open file
      ChargeLibrary one = Opened(m_path);
      ChargeLibrary other = Opened(m_path);
      SQLite::Database holder(Utf8FromPath(m_path), SQLite::OPEN_READWRITE);
      if (holdMilliseconds > 0) holder.exec("BEGIN IMMEDIATE");
      std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(holdMilliseconds));
        if (holdMilliseconds > 0) holder.exec("COMMIT");
      });
      const auto write = [](ChargeLibrary& library, std::uint64_t hash, int& written) {
        for (int i = 0; i < 30; ++i)
          written += library.Register("/l.txt", hash + i, 0, {{}}) ? 1 : 0;
      };
      int writtenByOne = 0;
      int writtenByOther = 0;
      std::thread writer([&] { write(other, 1000, writtenByOther); });
      write(one, 2000, writtenByOne);
      writer.join();
      release.join();
      EXPECT_EQ(writtenByOne, 30);
      EXPECT_EQ(writtenByOther, 30);
    }
    fs::remove_all(m_path.parent_path());
  }
}

// The hash of a log read in pieces (as the viewer reads a large one) equals that of one read whole.
TEST(ReadingsHash, FedInPiecesEqualsFedInOne) {
  std::vector<std::int16_t> counts(1000);
  for (std::size_t i = 0; i < counts.size(); ++i)
    counts[i] = static_cast<std::int16_t>(i * 37 - 9000);
  ReadingsHash whole;
  whole.Feed(counts);
  for (const std::size_t split : {0u, 1u, 511u, 999u, 1000u}) {
    ReadingsHash pieces;
    pieces.Feed(std::span(counts).first(split));
    pieces.Feed(std::span(counts).subspan(split));
    EXPECT_EQ(pieces.Value(), whole.Value()) << split;
  }
  ReadingsHash other;
  counts[500] += 1;
  other.Feed(counts);
  EXPECT_NE(other.Value(), whole.Value());
}

}  // namespace
}  // namespace ampelon
