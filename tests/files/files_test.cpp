// Opening and replacing files on the system's own file system, Windows' included.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

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
// what cannot or may not be replaced is left as it was, and no temporary file stays behind.
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

  fs::create_directory(m_folder / "folder.log");
  const Result<void> onFolder = ReplaceWholeFile(m_folder / "folder.log", "1\r\n");
  ASSERT_FALSE(onFolder);
  EXPECT_EQ(onFolder.error(), "It is a folder, not a regular file");
  EXPECT_TRUE(fs::is_directory(m_folder / "folder.log"));
  EXPECT_FALSE(ReplaceWholeFile(m_folder / "missing" / "run.log", "1\r\n"));
  // A file the user made read-only (for root too; the attribute on Windows) is not replaced.
  fs::permissions(file, fs::perms::owner_read);
  const Result<void> onReadOnly = ReplaceWholeFile(file, "new");
  ASSERT_FALSE(onReadOnly);
  EXPECT_EQ(onReadOnly.error(), "The file is read-only");
  EXPECT_NE(Contents(file), "new");
  fs::permissions(file, fs::perms::owner_all);
  // A short temporary name: the file's own name with anything added would be too long.
  ASSERT_TRUE(ReplaceWholeFile(m_folder / std::string(250, 'n'), "long"));

  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_folder)) ++entries;
  EXPECT_EQ(entries, fs::exists(m_folder / "link.ini") ? 5 : 4);
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
