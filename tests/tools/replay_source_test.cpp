#include "charger/replay_source.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "measurement/graph_log_parser.h"

namespace ampelon {
namespace {

class ReadReplayFileTest : public ::testing::Test {
 protected:
  ReadReplayFileTest() {
    char folder[] = "/tmp/ampelon-replay-XXXXXX";
    m_folder = ::mkdtemp(folder);
  }
  ~ReadReplayFileTest() override { std::filesystem::remove_all(m_folder); }

  std::string Write(const std::string& name, const std::string& text) const {
    const std::string path = m_folder + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  std::string m_folder;
};

// The whole file is sent, though the program's store would take only the first 100000.
TEST_F(ReadReplayFileTest, KeepsEveryReadingOfALongLog) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "1966\r\n";
  const Result<std::vector<std::int16_t>> readings = ReadReplayFile(Write("long.txt", text + "7"));
  ASSERT_TRUE(readings) << readings.error();
  EXPECT_EQ(readings->size(), 100001u);
  EXPECT_EQ(readings->back(), 7);
}

TEST_F(ReadReplayFileTest, RefusesWhatIsNoGraphLog) {
  for (const std::string& path :
       {Write("nul.txt", std::string("5\r\n\0\r\n", 5)),
        Write("utf16.txt",
              "\xFF\xFE"
              "5\0"),
        Write("longline.txt", "5\r\n" + std::string(GraphLogParser::kLongestLine + 1, '6')),
        Write("empty.txt", ""), m_folder + "/missing.txt"}) {
    const Result<std::vector<std::int16_t>> readings = ReadReplayFile(path);
    ASSERT_FALSE(readings) << path;
    EXPECT_NE(readings.error().find(path), std::string::npos) << readings.error();
  }
}

}  // namespace
}  // namespace ampelon
