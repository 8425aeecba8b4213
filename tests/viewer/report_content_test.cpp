#include "viewer/report_content.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "history/charge_library.h"
#include "history/readings_hash.h"
#include "viewer/report_history.h"

namespace ampelon {
namespace {

TEST(ReportContent, DetailsSayWhatIsGivenAndTheChargePutInOnlyWhereItIsKnown) {
  ChargeFigures timed;
  timed.peakSeconds = 9000;  // 2:30:00
  ChargeFigures untimed;
  BatteryDetails full{"AA-3", Chemistry::kNiMH, 2000, 800, "bought 2024"};
  const struct {
    BatteryDetails details;
    ChargeFigures figures;
    std::vector<std::string> lines;
  } cases[] = {
      {{}, timed, {"No battery details given"}},
      {full,
       timed,
       {"Battery: AA-3", "Chemistry: NiMH", "Rated capacity: 2000 mAh", "Charge current: 800 mA",
        "Charge put in up to the peak: 2000 mAh (800 mA for 2:30:00)", "Notes: bought 2024"}},
      {{"", Chemistry::kUnknown, {}, 800, ""}, untimed, {"Charge current: 800 mA"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReportDetailsLines(c.details, c.figures), c.lines);
}

TEST(ReportContent, NotesAreNumberedAsTheirFlagsAtTheirTimeOrSample) {
  const std::vector<PinnedNote> notes = {{1, 120, 3723.4, "fan on"}, {2, 301, {}, "cell reseated"}};
  EXPECT_EQ(ReportNoteLines(notes),
            (std::vector<std::string>{"1  1:02:03  fan on", "2  sample 301  cell reseated"}));
}

TEST(ReportContent, TrendLeavesOutWhatAChargeDoesNotTellAndMarksTheOneReported) {
  const auto charge = [](std::int64_t id, std::int64_t date, std::optional<double> peakSeconds) {
    ChargeRecord record;
    record.id = id;
    record.recordedAt = date;
    record.figures.peakVolts = 1.45;
    record.figures.peakSeconds = peakSeconds;
    return record;
  };
  const std::vector<TrendSeries> trend =
      BatteryTrend({charge(4, 100, 600), charge(7, 200, {}), charge(9, 300, 540)}, 7);
  ASSERT_EQ(trend.size(), 3u);
  EXPECT_EQ(trend[0].points.size(), 3u);
  EXPECT_EQ(trend[0].current, 1u);
  ASSERT_EQ(trend[1].points.size(), 2u);  // the charge without times has no time to peak
  EXPECT_EQ(trend[1].points[1].date, 300);
  EXPECT_DOUBLE_EQ(trend[1].points[1].value, 9.0);
  EXPECT_FALSE(trend[1].current);
}

TEST(ReportContent, TheLibraryGivesTheChargesRecordAndItsBatteryAndIsNeverMadeForAReport) {
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("ampelon-report-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  const fs::path path = folder / "charges.sqlite";
  const std::vector<std::int16_t> counts = {2000, 2001, 2002};
  EXPECT_FALSE(ReportHistoryOf(path, counts, 0).record);
  EXPECT_FALSE(fs::exists(path));
  {
    Result<ChargeLibrary> library = ChargeLibrary::Open(path);
    ASSERT_TRUE(library) << library.error();
    ReadingsHash hash;
    hash.Feed(counts);
    for (const std::uint64_t readings : {std::uint64_t{1}, hash.Value()}) {
      const auto registered = library->Register("/logs/a.log", readings, 1000, {ChargeFigures{}});
      ASSERT_TRUE(registered);
      ASSERT_TRUE(library->SetDetails(registered->front().id, {"AA-3", {}, {}, {}, {}}));
    }
  }
  const ReportHistory history = ReportHistoryOf(path, counts, 0);
  EXPECT_TRUE(history.problem.empty()) << history.problem;
  ASSERT_TRUE(history.record);
  EXPECT_EQ(history.record->details.battery, "AA-3");
  EXPECT_EQ(history.batteryCharges.size(), 2u);
  EXPECT_FALSE(history.judgement.empty());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace ampelon
