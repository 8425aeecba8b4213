#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "chart/chart_canvas.h"

namespace ampelon::testing {

// A picture area that records what is done to it. Sizes are in twips; the top is set by the test.
class FakeCanvas final : public ChartCanvas {
 public:
  enum class Call { kSetSize, kSetChartUnits, kClear, kDrawLine, kDrawPoints };

  struct Line {
    float x1, y1, x2, y2;
    Colour colour;
  };
  struct PointBatch {
    std::vector<ChartPoint> points;
    Colour colour;
  };

  void SetSize(float widthTwips, float heightTwips) override {
    m_calls.push_back(Call::kSetSize);
    m_width = widthTwips;
    m_height = heightTwips;
  }
  float WidthTwips() const override { return m_width; }
  float HeightTwips() const override { return m_height; }
  float TopTwips() const override { return m_top; }
  void SetChartUnits(const ChartUnits& units) override {
    m_calls.push_back(Call::kSetChartUnits);
    m_units = units;
  }
  void Clear() override {
    m_calls.push_back(Call::kClear);
    ++m_clears;
  }
  void DrawLine(float x1, float y1, float x2, float y2, Colour colour) override {
    m_calls.push_back(Call::kDrawLine);
    m_lines.push_back({x1, y1, x2, y2, colour});
  }
  void DrawPoints(std::span<const ChartPoint> points, Colour colour) override {
    m_calls.push_back(Call::kDrawPoints);
    m_batches.push_back({{points.begin(), points.end()}, colour});
  }

  void SetTopTwips(float top) { m_top = top; }
  // Forgets everything drawn and every call so far; sizes, top and units stay.
  void ForgetCalls() {
    m_calls.clear();
    m_lines.clear();
    m_batches.clear();
    m_clears = 0;
  }

  const std::vector<Call>& Calls() const { return m_calls; }
  const std::vector<Line>& Lines() const { return m_lines; }
  const std::vector<PointBatch>& PointBatches() const { return m_batches; }
  std::size_t PointCount() const {
    std::size_t count = 0;
    for (const auto& batch : m_batches) count += batch.points.size();
    return count;
  }
  int Clears() const { return m_clears; }
  const ChartUnits& Units() const { return m_units; }

 private:
  std::vector<Call> m_calls;
  std::vector<Line> m_lines;
  std::vector<PointBatch> m_batches;
  int m_clears = 0;
  float m_width = 0.0f;
  float m_height = 0.0f;
  float m_top = 1320.0f;
  ChartUnits m_units{0.0f, 0.0f, 0.0f, 0.0f};
};

}  // namespace ampelon::testing
