#include "chart/chart.h"

#include <algorithm>

#include "chart/axis_labels.h"
#include "chart/chart_layout.h"
#include "chart/grid.h"
#include "chart/plot.h"
#include "chart/readouts.h"
#include "chart/window_geometry.h"
#include "common/text_label.h"
#include "common/volts.h"
#include "measurement/sample_store.h"

namespace ampelon {
namespace {

constexpr std::size_t kPointsPerSlice = 2048;

}  // namespace

Chart::Chart(const SampleStore& store, ChartCanvas& canvas, WindowGeometry& window,
             ChartLabels labels, char decimalPoint)
    : m_store(store),
      m_canvas(canvas),
      m_geometry(window),
      m_labels(labels),
      m_decimalPoint(decimalPoint),
      m_points(kPointsPerSlice) {
  m_heights.reserve(65536);
}

void Chart::LayoutChart() {
  if (m_geometry.IsMinimized()) return;
  if (m_geometry.OuterWidthTwips() < kMinimumWindowWidth)
    m_geometry.SetOuterWidthTwips(kMinimumWindowWidth);
  if (m_geometry.OuterHeightTwips() < kMinimumWindowHeight)
    m_geometry.SetOuterHeightTwips(kMinimumWindowHeight);
  const auto chartWidth =
      static_cast<float>(static_cast<double>(m_geometry.OuterWidthTwips()) - kChartWidthMargin);
  const auto chartHeight =
      static_cast<float>(static_cast<double>(m_geometry.OuterHeightTwips()) - kChartHeightMargin);
  m_canvas.SetSize(chartWidth, chartHeight);
  m_canvas.SetChartUnits(ChartUnits{});
  DrawGrid();
  const std::int32_t spacing = LabelSpacing(m_canvas.HeightTwips());
  for (int index = 6; index >= 0; --index) {
    m_labels.axis[static_cast<std::size_t>(index)]->SetTop(
        AxisLabelTop(m_canvas.TopTwips(), spacing, index));
  }
}

void Chart::DrawGrid() { ampelon::DrawGrid(m_canvas); }

void Chart::UpdateAxisLabels() {
  const auto texts = AxisLabelTexts(m_window, m_decimalPoint);
  for (std::size_t k = 0; k < texts.size(); ++k) m_labels.axis[k]->SetText(texts[k]);
}

void Chart::FollowReading(float volts) {
  const int moves = m_window.FollowReading(volts);
  for (int move = 0; move < moves; ++move) UpdateAxisLabels();
}

void Chart::RefreshChart() {
  if (m_store.SampleCount() == 0) {
    // Emptied by a load of an empty graph log: the read-outs must not go on showing a reading
    // the store no longer holds.
    if (m_readoutsShown) {
      m_labels.currentValue->SetText("");
      m_labels.chargeTime->SetText("");
      m_readoutsShown = false;
    }
    return;
  }
  m_readoutsShown = true;
  const std::int16_t latest = m_store.LatestSample();
  FollowReading(Volts(latest));
  m_labels.currentValue->SetText(CurrentValueText(latest));
  m_labels.chargeTime->SetText(ChargeTimeText(m_store.ElapsedSeconds()));
  DrawGrid();
  // A window without a finite scale (height -0.1, infinite ends) plots nothing rather than
  // garbage.
  const auto scale = PlotScale::For(m_window);
  if (!scale) return;
  // Plotted a slice at a time so that the positions stay in the processor's cache.
  const std::span<const std::int16_t> samples = m_store.Samples();
  const PlotMapper mapper(*scale, static_cast<int>(samples.size()), m_store.LowestSample(),
                          m_store.HighestSample(), m_heights);
  for (std::size_t first = 0; first < samples.size(); first += m_points.size()) {
    const auto slice = samples.subspan(first, std::min(m_points.size(), samples.size() - first));
    m_canvas.DrawPoints(mapper.Map(slice, static_cast<int>(first) + 1, m_points), kPointColour);
  }
}

}  // namespace ampelon
