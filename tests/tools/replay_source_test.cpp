#include "charger/replay_source.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
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

// The whole file is sent, though the program's store would take only the first 100000, and
// again from its start when looped. A file larger than 64 MiB was once refused as too large.
TEST_F(ReadReplayFileTest, SendsEveryReadingOfALongLog) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "1966\r\n";
  const std::string wide = "5" + std::string(GraphLogParser::kLongestLine - 8, ' ') + "\r\n";
  for (int i = 0; i < 64; ++i) text += wide;
  Result<std::unique_ptr<ReplaySource>> source = ReplaySource::Open(Write("long.txt", text + "7"));
  ASSERT_TRUE(source) << source.error();
  std::size_t count = 0;
  std::optional<int> last;
  while (const std::optional<int> reading = (*source)->Next()) ++count, last = reading;
  EXPECT_EQ(count, 100065u);
  EXPECT_EQ(last, 7);
  (*source)->Rewind();
  EXPECT_EQ((*source)->Next(), 1966);
}

TEST_F(ReadReplayFileTest, RefusesWhatIsNoGraphLog) {
  for (const std::string& path :
       {Write("nul.txt", std::string("5\r\n\0\r\n", 5)),
        Write("utf16.txt",
              "\xFF\xFE"
              "5\0"),
        Write("longline.txt", "5\r\n" + std::string(GraphLogParser::kLongestLine + 1, '6')),
        Write("empty.txt", ""), m_folder + "/missing.txt"}) {
    const Result<std::unique_ptr<ReplaySource>> source = ReplaySource::Open(path);
    ASSERT_FALSE(source) << path;
    EXPECT_NE(source.error().find(path), std::string::npos) << source.error();
  }
}

}  // namespace
}  // namespace ampelon
