#include "charger/replay_source.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ampelon {
namespace {

struct ReplayCase {
  const char* name;
  std::string text;
  std::vector<std::int16_t> expected;
};

class GraphLogReadingsTest : public ::testing::TestWithParam<ReplayCase> {};

TEST_P(GraphLogReadingsTest, FollowsTheGraphLogReadingRules) {
  EXPECT_EQ(GraphLogReadings(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphLogReadingsTest,
    ::testing::Values(ReplayCase{"CrLf", "1966\r\n2375\r\n", {1966, 2375}},
                      ReplayCase{"LoneCrLoneLfAndNoEnding", "1\r2\n3", {1, 2, 3}},
                      ReplayCase{"CrLfIsOneEnding", "1\r\n\r\n2\n\r3", {1, 0, 2, 0, 3}},
                      ReplayCase{"TiesToEven", "2.5\r\n3.5\r\n-2.5\r\n2.6\r\n", {2, 4, -2, 3}},
                      ReplayCase{"NumberAtTheStart",
                                 "12abc\r\n 1 2\r\nx7\r\n1e3\r\n&H10\r\n",
                                 {12, 12, 0, 1000, 16}},
                      ReplayCase{"OutOfRangeSkipped",
                                 "40000\r\n-32769\r\n32767\r\n-32768\r\n32767.5\r\n1e9\r\n",
                                 {32767, -32768}},
                      ReplayCase{"ByteOrderMark",
                                 "\xEF\xBB\xBF"
                                 "7\r\n",
                                 {7}},
                      ReplayCase{"Empty", "", {}}),
    [](const auto& info) { return info.param.name; });

TEST(ReadReplayFileTest, RefusesWhatIsNoGraphLog) {
  char folder[] = "/tmp/ampelon-replay-XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const auto write = [&](const std::string& name, const std::string& text) {
    const std::string path = std::string(folder) + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  };
  EXPECT_EQ(ReadReplayFile(write("good.txt", "5\r\n6\r\n")).readings,
            (std::vector<std::int16_t>{5, 6}));
  for (const std::string& path : {write("nul.txt", std::string("5\r\n\0\r\n", 5)),
                                  write("utf16.txt",
                                        "\xFF\xFE"
                                        "5\0"),
                                  write("empty.txt", ""), std::string(folder) + "/missing.txt"}) {
    const ReplayFile file = ReadReplayFile(path);
    EXPECT_TRUE(file.readings.empty()) << path;
    EXPECT_NE(file.error.find(path), std::string::npos) << file.error;
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace ampelon
