#pragma once

#include <array>
#include <vector>

#include "chart/chart_canvas.h"
#include "chart/voltage_window.h"

namespace ampelon {

class SampleStore;
class TextLabel;
class WindowGeometry;

// The labels the chart writes: the seven axis labels (bottom first) and the two read-outs.
struct ChartLabels {
  std::array<TextLabel*, 7> axis{};
  TextLabel* currentValue = nullptr;
  TextLabel* chargeTime = nullptr;
};

// The chart: its layout in the window, the grid, the voltage window with its axis labels, and
// the once-a-second refresh that plots every stored reading. All references must outlive it.
class Chart {
 public:
  Chart(const SampleStore& store, ChartCanvas& canvas, WindowGeometry& window, ChartLabels labels,
        char decimalPoint = '.');

  const VoltageWindow& Window() const { return m_window; }
  // Replaces the voltage window; the caller relabels and redraws as it needs.
  void SetWindow(const VoltageWindow& window) { m_window = window; }

  // On every resize: keeps the window at least 7000 x 7000 twips, sizes the chart from it, sets
  // the chart units, draws the grid and moves the axis labels beside the odd grid lines.
  void LayoutChart();
  // Clears the chart to the empty grid.
  void DrawGrid();
  // Writes the voltages of the window into the seven axis labels.
  void UpdateAxisLabels();
  // Lets the window follow a reading that has left it, relabelling after each move.
  void FollowReading(float volts);
  // Follows the latest reading, fills the read-outs, redraws the grid and plots every reading.
  // While the store is empty it only empties read-outs that still show a reading.
  void RefreshChart();

 private:
  const SampleStore& m_store;
  ChartCanvas& m_canvas;
  WindowGeometry& m_geometry;
  ChartLabels m_labels;
  char m_decimalPoint;
  VoltageWindow m_window;
  bool m_readoutsShown = false;
  std::vector<ChartPoint> m_points;  // one slice of plot positions, allocated once
  std::vector<float> m_heights;      // chart height per reading value, allocated once
};

}  // namespace ampelon
