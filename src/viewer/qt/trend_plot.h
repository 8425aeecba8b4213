#pragma once

#include <cstdint>
#include <vector>

#include <QString>
#include <QWidget>

namespace ampelon {

// A small plot of one figure of a battery's charges against their dates (peak voltage, time to
// peak, drop): the main plot's frame and axis arithmetic (FrameFor, RoundTicks) and colours,
// a point for each charge joined by lines.
class TrendPlot final : public QWidget {
 public:
  struct Point {
    std::int64_t date = 0;  // Unix seconds
    double value = 0;
  };

  // `title` above the plot; values are written with `decimals` places and `unit`.
  TrendPlot(const QString& title, const QString& unit, int decimals, QWidget* parent = nullptr);

  void SetPoints(std::vector<Point> points);
  QSize sizeHint() const override { return {320, 180}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_title;
  QString m_unit;
  int m_decimals;
  std::vector<Point> m_points;
};

}  // namespace ampelon
