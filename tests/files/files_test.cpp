// Opening and replacing files on the system's own file system, Windows' included.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/utf8_path.h"
#include "files/regular_file.h"
#include "files/rename_file.h"
#include "files/replace_whole_file.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

class FilesTest : public ::testing::Test {
 protected:
  FilesTest() {
    m_folder = fs::temp_directory_path() /
               PathFromUtf8("ampelon-files-\u65e5-" + std::to_string(std::random_device{}()));
    fs::create_directories(m_folder);
  }
  ~FilesTest() override { fs::remove_all(m_folder); }

  fs::path m_folder;
};

// The new bytes replace the old in one step, also through a link and keeping the permissions;
// what cannot be replaced is left as it was, and no temporary file stays behind.
TEST_F(FilesTest, ReplaceFileReplacesWholeOrNotAtAll) {
  const fs::path file = m_folder / "settings.ini";
  std::ofstream(file, std::ios::binary) << "old";
  ASSERT_TRUE(ReplaceWholeFile(file, "new\r\n"));
  EXPECT_EQ(Contents(file), "new\r\n");
  ASSERT_TRUE(ReplaceWholeFile(m_folder / "created.log", ""));
  EXPECT_TRUE(fs::is_regular_file(m_folder / "created.log"));
#ifndef _WIN32
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(file, m_folder / "link.ini");
  ASSERT_TRUE(ReplaceWholeFile(m_folder / "link.ini", "linked"));
  EXPECT_TRUE(fs::is_symlink(m_folder / "link.ini"));
  EXPECT_EQ(Contents(file), "linked");
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif

  // The temporary name must fit where the name itself just fits.
  const fs::path longName = m_folder / std::string(250, 'n');
  ASSERT_TRUE(ReplaceWholeFile(longName, "long"));
  EXPECT_EQ(Contents(longName), "long");

  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_folder)) ++entries;
  EXPECT_EQ(entries, fs::exists(m_folder / "link.ini") ? 4 : 3);
}

// A folder, a file the user made read-only (also through a link) and a missing folder are
// refused with a reason and left as they were; no temporary file stays behind.
TEST_F(FilesTest, ReplaceFileRefusesWhatItMayNotReplace) {
  fs::create_directory(m_folder / "folder.log");
  const fs::path readOnly = m_folder / "read-only.log";
  std::ofstream(readOnly, std::ios::binary) << "old";
  fs::permissions(readOnly,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  std::vector<std::pair<fs::path, std::string>> cases = {
      {m_folder / "folder.log", "It is a folder, not a regular file"},
      {readOnly, "The file is read-only"},
      {m_folder / "missing" / "run.log", ""}};  // the system's own reason
#ifndef _WIN32
  fs::create_symlink(readOnly, m_folder / "link.log");
  cases.emplace_back(m_folder / "link.log", "The file is read-only");
#endif
  for (const auto& [path, reason] : cases) {
    const Result<void> replaced = ReplaceWholeFile(path, "new\r\n");
    ASSERT_FALSE(replaced) << path;
    if (!reason.empty()) {
      EXPECT_EQ(replaced.error(), reason) << path;
    }
  }
  EXPECT_TRUE(fs::is_directory(m_folder / "folder.log"));
  EXPECT_EQ(Contents(readOnly), "old");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_folder)) ++entries;
  EXPECT_EQ(entries, static_cast<int>(cases.size()) - 1);
  fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(FilesTest, RegularFileReadsAFileAndRefusesAFolder) {
  const std::string bytes(100000, '7');
  std::ofstream(m_folder / "run.log", std::ios::binary) << bytes;
  Result<RegularFile> file = RegularFile::Open(m_folder / "run.log");
  ASSERT_TRUE(file) << file.error();
  EXPECT_EQ(file->Size(), bytes.size());
  std::string read;
  std::array<char, 4096> buffer{};
  for (Result<std::size_t> count = file->Read(buffer); count && *count > 0;
       count = file->Read(buffer)) {
    read.append(buffer.data(), *count);
  }
  EXPECT_EQ(read, bytes);

  const Result<RegularFile> folder = RegularFile::Open(m_folder);
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error(), "It is a folder, not a regular file");
  EXPECT_FALSE(RegularFile::Open(m_folder / "missing.log"));
}

// The viewer holds the journal open while it reads it: Ampelon still removes it (its name free
// at once through RemoveFile) and what was opened reads on. On Windows a reader once kept the
// journal from being removed (or renamed: the journal's own tests rename files held so).
TEST_F(FilesTest, AFileHeldOpenForReadingCanBeRemoved) {
  const fs::path file = m_folder / "charge-journal.log";
  std::error_code error;
  for (const bool standard : {false, true}) {
    std::ofstream(file, std::ios::binary) << "old";
    Result<RegularFile> held = RegularFile::Open(file);
    ASSERT_TRUE(held) << held.error();
    ASSERT_TRUE(standard ? (fs::remove(file, error), !error) : bool(RemoveFile(file)));
    EXPECT_TRUE(standard || !fs::exists(file));
    std::array<char, 8> buffer{};
    EXPECT_EQ(std::string(buffer.data(), *held->ReadAt(0, buffer)), "old");
  }
  EXPECT_TRUE(RemoveFile(m_folder / "missing.log"));
}

}  // namespace
}  // namespace ampelon
