#include "ui/background_registrar.h"

#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/utf8_path.h"
#include "history/readings_hash.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

class BackgroundRegistrarTest : public ::testing::Test {
 protected:
  BackgroundRegistrarTest() {
    m_folder = fs::temp_directory_path() /
               PathFromUtf8("ampelon-registrar-\u65e5-" + std::to_string(std::random_device{}()));
    fs::create_directories(m_folder);
  }
  ~BackgroundRegistrarTest() override { fs::remove_all(m_folder); }

  // A graph log of `readings` rising counts, a second apart in the times file beside it.
  fs::path WriteLog(int readings) {
    const fs::path log = m_folder / "charge.log";
    std::ofstream counts(log, std::ios::binary);
    std::ofstream times(m_folder / "charge.times", std::ios::binary);
    for (int i = 0; i < readings; ++i) {
      m_counts.push_back(static_cast<std::int16_t>(2000 + i / 10));
      counts << m_counts.back() << "\r\n";
      times << i << ".000\r\n";
    }
    return log;
  }

  fs::path m_folder;
  std::vector<std::int16_t> m_counts;
};

TEST_F(BackgroundRegistrarTest, ALogIsFoundByItsReadingsAndAnUnusableLibraryIsToldOnce) {
  const fs::path log = WriteLog(2000);
  fs::path notAFolder = m_folder / "file";
  std::ofstream(notAFolder) << "x";
  const struct {
    Result<fs::path> library;
    std::string problem;  // its start
  } cases[] = {
      {m_folder / "Trevanix Ampelon" / "charges.sqlite", ""},
      {Failure{"no data folder"},
       "Charges are not being kept in the charge library: no data folder"},
      {notAFolder / "charges.sqlite", "Charges are not being kept in the charge library: "},
  };
  for (const auto& c : cases) {
    BackgroundRegistrar registrar(c.library);
    registrar.Register(log);
    registrar.Register(log);
    registrar.Finish();
    const RegistrarNews news = registrar.TakeNews();
    EXPECT_EQ(news.problem.substr(0, c.problem.size()), c.problem);
    EXPECT_EQ(news.problem.empty(), c.problem.empty()) << news.problem;
    EXPECT_TRUE(registrar.TakeNews().problem.empty()) << "told twice";
  }
  Result<ChargeLibrary> library = ChargeLibrary::Open(*cases[0].library);
  ASSERT_TRUE(library) << library.error();
  ReadingsHash hash;
  hash.Feed(m_counts);
  const Result<std::optional<ChargeRecord>> found = library->Find(hash.Value(), 0);
  ASSERT_TRUE(found && found->has_value());
  EXPECT_EQ((*found)->path, Utf8FromPath(log));
  EXPECT_TRUE((*found)->figures.timesKnown);
  EXPECT_EQ((*found)->figures.lastSample, 2000u);
}

// Another program holds the library longer than its busy timeout: the charge is kept once the
// library is free again, not given up.
TEST_F(BackgroundRegistrarTest, AChargeTheLibraryCouldNotTakeIsTriedAgain) {
  const fs::path log = WriteLog(400);
  const fs::path path = m_folder / "charges.sqlite";
  ASSERT_TRUE(ChargeLibrary::Open(path));
  ReadingsHash hash;
  hash.Feed(m_counts);
  const auto found = [&] {
    Result<ChargeLibrary> library = ChargeLibrary::Open(path);
    if (!library) return false;
    const Result<std::optional<ChargeRecord>> record = library->Find(hash.Value(), 0);
    return record && record->has_value();
  };
  BackgroundRegistrar registrar(path, std::chrono::milliseconds(100));
  {
    SQLite::Database holder(Utf8FromPath(path), SQLite::OPEN_READWRITE);
    holder.exec("BEGIN IMMEDIATE");
    registrar.Register(log);
    std::this_thread::sleep_for(std::chrono::milliseconds(6000));
    holder.exec("COMMIT");
  }
  EXPECT_NE(registrar.TakeNews().problem.find("database is locked"), std::string::npos);
  bool kept = false;
  for (int i = 0; i < 100 && !kept; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kept = found();
  }
  EXPECT_TRUE(kept);
}

}  // namespace
}  // namespace ampelon
