#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QWidget>

#include "chart/chart_canvas.h"
#include "ui/qt/twips.h"

namespace ampelon {

// The picture area: an image in device pixels that keeps what was drawn and repaints it when
// exposed. Points are written straight into the image, which is what makes a full redraw of
// 100000 readings cheap; the image's 32-bit pixels are the window's own, so a repaint is a
// plain copy.
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
  void PlotDots(std::span<const ChartPoint> points, QRgb pixel);
  Mapping CurrentMapping() const;
  // Fills device pixels [left, right) x [top, bottom), clipped to the image.
  void FillRect(int left, int top, int right, int bottom, QRgb pixel);
  // Returns what was drawn since the image was last all background to the background.
  void EraseDrawn();
  // Nothing drawn: the image is all background.
  void ForgetDrawn();
  // Adds a value to the fingerprint of what was drawn since the last clear.
  void Fingerprint(std::uint64_t value);
  // Once the drawing in hand is done (at the next turn of the event loop), repaints the widget
  // if the picture differs from the one last repainted.
  void RepaintWhenDrawn();

  const Twips& m_twips;
  ChartUnits m_units;
  float m_widthTwips = 0.0f;
  float m_heightTwips = 0.0f;
  QImage m_image;
  int m_dotSize = 1;  // device pixels per logical pixel, rounded
  // What was drawn on the background, so that clearing rewrites only those pixels: a redraw of
  // a large chart then costs about what it draws rather than every pixel of the image. Lines are
  // kept as rectangles; dots mark the tile of the image their top left pixel lies in.
  std::vector<QRect> m_drawnLines;  // device pixels; a few dozen at most between clears
  bool m_drawnLinesOverflowed = false;
  std::vector<std::uint8_t> m_dottedTiles;  // row by row; 1 where a dot was drawn
  int m_tileColumns = 0;
  // With a full store the once-a-second redraw mostly draws the same picture again: what was
  // drawn since the last clear is fingerprinted, and the widget repainted only when it differs.
  std::uint64_t m_drawnFingerprint = 0;
  std::uint64_t m_shownFingerprint = 0;
  bool m_imageReplaced = true;  // a new image is repainted whatever was drawn on it
  bool m_repaintPending = false;
};

}  // namespace ampelon
