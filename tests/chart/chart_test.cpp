#include "chart/chart.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_canvas.h"
#include "fakes/fake_chart_labels.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_label.h"
#include "fakes/fake_window_geometry.h"
#include "measurement/sample_store.h"

namespace ampelon {
namespace {

using testing::FakeCanvas;
using testing::FakeClock;
using testing::FakeLabel;
using testing::FakeWindowGeometry;
using testing::WireChartLabels;

constexpr double kTenOClock = 36000.0;

class ChartTest : public ::testing::Test {
 protected:
  ChartTest() {
    const ChartLabels labels = WireChartLabels(m_axis, m_value, m_time);
    m_chart.emplace(m_store, m_canvas, m_geometry, labels);
    m_chart->SetWindow(VoltageWindow::AtStart(0.3f));
  }

  std::array<std::string, 7> AxisTexts() const {
    std::array<std::string, 7> texts;
    for (std::size_t k = 0; k < texts.size(); ++k) texts[k] = m_axis[k].Text();
    return texts;
  }
  int LabelTextSets() const {
    int sets = m_value.TextSets() + m_time.TextSets();
    for (const auto& label : m_axis) sets += label.TextSets();
    return sets;
  }
  // The grid's 29 calls (clear, 28 lines), then only batches of points in the point colour.
  void ExpectGridThenPoints() const {
    const auto& calls = m_canvas.Calls();
    ASSERT_GT(calls.size(), 29u);
    EXPECT_EQ(calls.front(), FakeCanvas::Call::kClear);
    EXPECT_EQ(m_canvas.Lines().size(), 28u);
    for (std::size_t i = 29; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i], FakeCanvas::Call::kDrawPoints);
    }
    for (const auto& batch : m_canvas.PointBatches()) EXPECT_EQ(batch.colour, 0xC0FFC0u);
  }

  FakeClock m_clock{kTenOClock};
  SampleStore m_store{m_clock};
  FakeCanvas m_canvas;
  FakeWindowGeometry m_geometry;
  std::vector<const FakeLabel*> m_topJournal;
  std::array<FakeLabel, 7> m_axis{FakeLabel(m_topJournal), FakeLabel(m_topJournal),
                                  FakeLabel(m_topJournal), FakeLabel(m_topJournal),
                                  FakeLabel(m_topJournal), FakeLabel(m_topJournal),
                                  FakeLabel(m_topJournal)};
  FakeLabel m_value;
  FakeLabel m_time;
  std::optional<Chart> m_chart;
};

TEST_F(ChartTest, LayoutKeepsTheMinimumSizeAndPlacesTheLabels) {
  const struct {
    float width, height;  // window as found
    float grownWidth, grownHeight;
    int sets;
    float chartWidth, chartHeight;
    int spacing;
  } rows[] = {
      {6000, 5000, 7000, 7000, 2, 5875, 4585, 328},
      {7140, 9150, 7140, 9150, 0, 6015, 6735, 481},
      {8000, 6999, 8000, 7000, 1, 6875, 4585, 328},
      {6999, 7350, 7000, 7350, 1, 5875, 4935, 352},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.width << " x " << row.height);
    m_geometry.Place(0, 0, row.width, row.height);
    const int setsBefore = m_geometry.Sets();
    m_canvas.ForgetCalls();
    m_topJournal.clear();
    m_chart->LayoutChart();

    EXPECT_EQ(m_geometry.OuterWidthTwips(), row.grownWidth);
    EXPECT_EQ(m_geometry.OuterHeightTwips(), row.grownHeight);
    EXPECT_EQ(m_geometry.Sets() - setsBefore, row.sets);
    EXPECT_EQ(m_canvas.WidthTwips(), row.chartWidth);
    EXPECT_EQ(m_canvas.HeightTwips(), row.chartHeight);
    const ChartUnits& units = m_canvas.Units();
    EXPECT_EQ((std::array{units.left, units.top, units.width, units.height}),
              (std::array{-1.0f, 1000.0f, 1003.0f, -1003.0f}));
    EXPECT_EQ(m_canvas.Clears(), 1);
    EXPECT_EQ(m_canvas.Lines().size(), 28u);
    ASSERT_EQ(m_topJournal.size(), 7u);
    for (std::size_t k = 0; k < 7; ++k) {
      EXPECT_EQ(m_topJournal[k], &m_axis[6 - k]) << "move " << k;  // top label first
      const auto m = static_cast<int>(13 - 2 * k);
      EXPECT_EQ(m_axis[k].Top(), 1320.0f + static_cast<float>(m * row.spacing - 110)) << k;
    }
  }
}

TEST_F(ChartTest, LayoutOfAMinimizedWindowDoesNothing) {
  m_geometry.Place(0, 0, 5000, 5000);
  m_geometry.SetMinimized(true);
  m_chart->LayoutChart();
  EXPECT_TRUE(m_canvas.Calls().empty());
  EXPECT_EQ(m_geometry.Sets(), 0);
  EXPECT_TRUE(m_topJournal.empty());

  m_geometry.SetMinimized(false);
  m_chart->LayoutChart();
  EXPECT_EQ(m_geometry.OuterWidthTwips(), 7000.0f);
  EXPECT_EQ(m_canvas.HeightTwips(), 4585.0f);
  EXPECT_EQ(m_topJournal.size(), 7u);
}

TEST_F(ChartTest, FollowingRelabelsAfterEachMove) {
  m_chart->SetWindow(VoltageWindow::AtStart(0.1f));
  m_chart->FollowReading(0.95f);  // below, then still above: two moves
  EXPECT_EQ(AxisTexts(), (std::array<std::string, 7>{"0.90V", "0.92V", "0.93V", "0.95V", "0.97V",
                                                     "0.98V", "1.00V"}));
  for (const auto& label : m_axis) EXPECT_EQ(label.TextSets(), 2);

  m_chart->FollowReading(0.95f);  // inside now
  for (const auto& label : m_axis) EXPECT_EQ(label.TextSets(), 2);
  EXPECT_TRUE(m_canvas.Calls().empty());
}

TEST_F(ChartTest, RefreshOfAnEmptyStoreChangesNothing) {
  m_chart->RefreshChart();
  EXPECT_TRUE(m_canvas.Calls().empty());
  EXPECT_EQ(LabelTextSets(), 0);
}

TEST_F(ChartTest, RefreshShowsASingleReading) {
  m_store.RecordLiveSample(2048);
  m_chart->RefreshChart();
  EXPECT_EQ(m_value.Text(), "1.250V [2048]");
  EXPECT_EQ(m_time.Text(), "0 min, 0 sec");
  EXPECT_EQ(LabelTextSets(), 2);  // 1.25 V is inside the start window: no relabelling
  ExpectGridThenPoints();
  const auto& points = m_canvas.PointBatches().front().points;
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(points[0].x, 5.0f);
  EXPECT_NEAR(points[0].y, 750.76, 0.01);

  m_clock.Set(kTenOClock + 125.0);
  m_store.RecordLiveSample(819);
  m_canvas.ForgetCalls();
  m_chart->RefreshChart();
  EXPECT_EQ(m_value.Text(), ".5V [819]");
  EXPECT_EQ(m_time.Text(), "2 min, 5 sec");
  ExpectGridThenPoints();
  EXPECT_EQ(m_canvas.PointCount(), 2u);
}

TEST_F(ChartTest, ReadoutsShowTheWholeChargeAndNothingOnceTheStoreIsEmptied) {
  m_store.RecordLiveSample(2048);
  m_clock.Advance(90000.0);
  m_store.RecordLiveSample(2049);
  m_chart->RefreshChart();
  EXPECT_EQ(m_time.Text(), "1500 min, 0 sec");

  m_store.ClearSamples();  // what loading an empty graph log leaves
  m_canvas.ForgetCalls();
  m_chart->RefreshChart();
  EXPECT_EQ(m_value.Text(), "");
  EXPECT_EQ(m_time.Text(), "");
  EXPECT_TRUE(m_canvas.Calls().empty());
}

TEST_F(ChartTest, RefreshMovesTheWindowBeforePlotting) {
  const std::vector<std::int16_t> readings = {2048, 1800, 1200, 1556};  // 1556 is 0.9499 V
  for (auto reading : readings) m_store.AppendSample(reading);
  m_chart->RefreshChart();

  EXPECT_EQ(m_chart->Window().lowerVolts, static_cast<float>(0.8));
  EXPECT_FLOAT_EQ(m_chart->Window().upperVolts, 1.1f);
  EXPECT_EQ(AxisTexts(), (std::array<std::string, 7>{"0.80V", "0.85V", "0.90V", "0.95V", "1.00V",
                                                     "1.05V", "1.10V"}));
  EXPECT_EQ(m_value.Text(), ".9499V [1556]");
  ExpectGridThenPoints();
  const auto& points = m_canvas.PointBatches().front().points;
  ASSERT_EQ(points.size(), readings.size());
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const double volts = readings[i] / 4095.0 * 2.5;
    EXPECT_EQ(points[i].x, 5.0f * static_cast<float>(i + 1));
    EXPECT_NEAR(points[i].y, 1000 / 0.4 * (volts - 0.8 + 0.05), 0.01) << readings[i];
  }
}

TEST_F(ChartTest, RefreshPlotsAFullStore) {
  for (int i = 0; i < SampleStore::kSampleCapacity; ++i) {
    m_store.AppendSample(static_cast<std::int16_t>(1700 + i % 400));
  }
  ASSERT_TRUE(m_store.IsFull());
  m_chart->RefreshChart();
  ExpectGridThenPoints();
  ASSERT_EQ(m_canvas.PointCount(), 100000u);
  EXPECT_FLOAT_EQ(m_canvas.PointBatches().front().points.front().x, 0.01f);
  EXPECT_FLOAT_EQ(m_canvas.PointBatches().back().points.back().x, 1000.0f);
}

TEST_F(ChartTest, RefreshWithAVanishingWindowHeightStillShowsReadoutsAndGrid) {
  m_chart->SetWindow(VoltageWindow::AtStart(-0.1f));
  m_store.AppendSample(2048);
  m_chart->RefreshChart();
  EXPECT_EQ(m_value.Text(), "1.250V [2048]");
  EXPECT_EQ(m_time.Text(), "0 min, 0 sec");
  EXPECT_EQ(m_canvas.Clears(), 1);
  EXPECT_EQ(m_canvas.Lines().size(), 28u);
  EXPECT_EQ(m_canvas.PointCount(), 0u)
      << "first point at y = " << m_canvas.PointBatches().front().points.front().y;
}

}  // namespace
}  // namespace ampelon
