#pragma once

#include <QImage>
#include <QWidget>

#include "chart/chart_canvas.h"
#include "ui/qt/twips.h"

namespace ampelon {

// The picture area: an image in device pixels that keeps what was drawn and repaints it when
// exposed. Points are written straight into the image, which is what makes a full redraw of
// 100000 readings cheap.
class ChartWidget final : public QWidget, public ChartCanvas {
 public:
  ChartWidget(const Twips& twips, QWidget* parent);

  void SetSize(float widthTwips, float heightTwips) override;
  float WidthTwips() const override;
  float HeightTwips() const override;
  float TopTwips() const override;
  void SetChartUnits(const ChartUnits& units) override;
  void Clear() override;
  void DrawLine(float x1, float y1, float x2, float y2, Colour colour) override;
  void DrawPoints(std::span<const ChartPoint> points, Colour colour) override;

  // What is drawn, in device pixels (for tests and screenshots); pixel() gives the colours.
  const QImage& Image() const { return m_image; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Maps chart units to device pixels for the current image.
  struct Mapping {
    double scaleX = 1.0;
    double scaleY = 1.0;
    double left = 0.0;
    double top = 0.0;
  };

  void EnsureImage();
  // Draws the points as square dots of kFixedDot device pixels (0: m_dotSize).
  template <int kFixedDot>
  void PlotDots(std::span<const ChartPoint> points, uchar index);
  Mapping CurrentMapping() const;
  // Fills device pixels [left, right) x [top, bottom), clipped to the image.
  void FillRect(int left, int top, int right, int bottom, uchar index);
  // The image's colour table entry for a colour, added on first use.
  uchar ColourIndex(Colour colour);

  const Twips& m_twips;
  ChartUnits m_units;
  float m_widthTwips = 0.0f;
  float m_heightTwips = 0.0f;
  QImage m_image;
  QList<QRgb> m_colours{qRgb(0, 0, 0)};  // entry 0 is the black background
  int m_dotSize = 1;                     // device pixels per logical pixel, rounded
};

}  // namespace ampelon
