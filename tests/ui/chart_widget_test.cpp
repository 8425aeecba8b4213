#include "ui/qt/chart_widget.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <cmath>
#include <vector>

namespace ampelon {
namespace {

int PixelsOf(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour ? 1 : 0;
  }
  return count;
}

// Dots are whole squares of round(ratio) device pixels wherever they start, and Clear() returns
// every pixel drawn, lines or dots, to black; ui_qt_tests_at_ratio_2 runs this at a ratio of 2,
// where these dots start on odd device pixels and reach into the next pixel's row and column.
TEST(ChartWidgetTest, DotsAreWholeSquaresAndClearLeavesOnlyBlack) {
  struct Drawing {
    const char* what;
    int lines;
    int dots;
  };
  const Twips twips(96.0);
  const QRgb green = qRgb(192, 255, 192);
  for (const Drawing& drawing :
       {Drawing{"a grid's lines", 5, 0}, Drawing{"more lines than a grid has", 70, 0},
        Drawing{"dots", 0, 300}}) {
    ChartWidget widget(twips, nullptr);
    widget.SetSize(15.0f * 300, 15.0f * 100);                      // 300 x 100 logical pixels
    widget.SetChartUnits(ChartUnits{0.0f, 0.0f, 300.0f, 100.0f});  // one unit a logical pixel
    for (int i = 0; i < drawing.lines; ++i) {
      const auto at = static_cast<float>(i) + 0.75f;
      widget.DrawLine(at, 0.0f, at, 100.0f, kGridColour);
      widget.DrawLine(0.0f, at, 300.0f, at, kAxisColour);
    }
    std::vector<ChartPoint> points;
    for (int i = 0; i < drawing.dots; ++i) {
      points.push_back({static_cast<float>(i) + 0.75f, static_cast<float>(i * 7 % 100) + 0.75f});
    }
    widget.DrawPoints(points, kPointColour);
    const auto dot = static_cast<int>(std::lround(widget.Image().devicePixelRatio()));
    EXPECT_EQ(PixelsOf(widget.Image(), green), drawing.dots * dot * dot) << drawing.what;
    widget.Clear();
    const QImage& image = widget.Image();
    EXPECT_EQ(PixelsOf(image, qRgb(0, 0, 0)), image.width() * image.height()) << drawing.what;
  }
}

class PaintCounter final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint ? 1 : 0;
    return false;
  }
  int paints = 0;
};

// A redraw is put on screen once drawing is done, and only when its picture differs from the one
// shown: with a full store the once-a-second redraw mostly repeats it.
TEST(ChartWidgetTest, RepaintsOnlyAPictureThatChanged) {
  struct Redraw {
    const char* what;
    float dotY;  // no dot when negative
    Colour colour;
    int repaints;
  };
  const Twips twips(96.0);
  ChartWidget widget(twips, nullptr);
  widget.SetSize(15.0f * 300, 15.0f * 100);
  widget.SetChartUnits(ChartUnits{0.0f, 0.0f, 300.0f, 100.0f});
  PaintCounter counter;
  widget.installEventFilter(&counter);
  widget.show();
  for (const Redraw& redraw :
       {Redraw{"a dot", 20.5f, kPointColour, 1}, Redraw{"the same dot", 20.5f, kPointColour, 0},
        Redraw{"a dot a pixel lower", 21.5f, kPointColour, 1},
        Redraw{"the dot in another colour", 21.5f, kLightRed, 1},
        Redraw{"no dot", -1.0f, kPointColour, 1}, Redraw{"no dot again", -1.0f, kPointColour, 0}}) {
    QCoreApplication::processEvents();
    const int before = counter.paints;
    widget.Clear();
    widget.DrawLine(0.0f, 50.0f, 300.0f, 50.0f, kGridColour);
    if (redraw.dotY >= 0)
      widget.DrawPoints(std::vector<ChartPoint>{{10.5f, redraw.dotY}}, redraw.colour);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints - before, redraw.repaints) << redraw.what;
  }
}

}  // namespace
}  // namespace ampelon
