#include "viewer/qt/plot_widget.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cstdint>
#include <functional>
#include <optional>

#include "charger/charge_curve.h"
#include "viewer/charge_analysis.h"
#include "viewer/qt/charge_image.h"
#include "viewer/qt/plot_renderer.h"
#include "viewer/qt/readout_text.h"
#include "viewer/slope_curve.h"

namespace ampelon {
namespace {

// 640 x 400 logical pixels put the plot area at x 64..624, y 24..360. With 1000 readings shown
// whole (sample numbers -8.99 to 1009.99), sample s lies at x = 64 + (s + 8.99) / 1018.98 * 560.
double XOfSample(double sample) { return 64 + (sample + 8.99) / 1018.98 * 560; }
constexpr double kMiddleY = 192;

// Flat at count 2000, half a second a reading.
Charge FlatCharge(std::size_t size) {
  Charge charge;
  for (std::size_t i = 0; i < size; ++i) {
    charge.counts.push_back(2000);
    charge.seconds.push_back(0.5 * static_cast<double>(i));
  }
  return charge;
}

void Mouse(PlotWidget& plot, QEvent::Type type, QPointF at, Qt::MouseButton button) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, at, plot.mapToGlobal(at),
                    type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(&plot, &event);
}

void Drag(PlotWidget& plot, QPointF from, QPointF to, Qt::MouseButton button) {
  Mouse(plot, QEvent::MouseButtonPress, from, button);
  Mouse(plot, QEvent::MouseMove, (from + to) / 2, button);
  Mouse(plot, QEvent::MouseMove, to, button);
  Mouse(plot, QEvent::MouseButtonRelease, to, button);
}

void Click(PlotWidget& plot, QPointF at) {
  Mouse(plot, QEvent::MouseMove, at, Qt::NoButton);
  Mouse(plot, QEvent::MouseButtonPress, at, Qt::LeftButton);
  Mouse(plot, QEvent::MouseButtonRelease, at, Qt::LeftButton);
}

void Wheel(PlotWidget& plot, QPointF at, int notches) {
  QWheelEvent event(at, plot.mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&plot, &event);
}

void Key(PlotWidget& plot, int key) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(&plot, &event);
}

TEST(PlotWidgetTest, WheelRectangleDragsAndKeysMoveTheViewAndHomeOrADoubleClickShowAll) {
  const struct {
    const char* what;
    std::function<void(PlotWidget&)> act;
    std::size_t first, last;
  } rows[] = {
      {"everything", [](PlotWidget&) {}, 0, 1000},
      {"a wheel notch around the middle",
       [](PlotWidget& p) {
         Wheel(p, {344, kMiddleY}, 1);
       },
       92, 908},
      {"a rectangle",
       [](PlotWidget& p) {
         Drag(p, {XOfSample(100), 100}, {XOfSample(600), 300}, Qt::LeftButton);
       },
       99, 600},
      {"a rectangle, then a right drag by a fifth of the width",
       [](PlotWidget& p) {
         Drag(p, {XOfSample(100), 100}, {XOfSample(600), 300}, Qt::LeftButton);
         Drag(p, {400, kMiddleY}, {288, kMiddleY}, Qt::RightButton);
       },
       199, 700},
      {"a middle drag",
       [](PlotWidget& p) {
         Drag(p, {288, kMiddleY}, {400, kMiddleY}, Qt::MiddleButton);
       },
       0, 805},
      {"the right arrow key", [](PlotWidget& p) { Key(p, Qt::Key_Right); }, 92, 1000},
      {"zoomed, then Home",
       [](PlotWidget& p) {
         Wheel(p, {344, kMiddleY}, 3);
         Key(p, Qt::Key_Home);
       },
       0, 1000},
      {"zoomed, then a double-click",
       [](PlotWidget& p) {
         Wheel(p, {344, kMiddleY}, 3);
         Mouse(p, QEvent::MouseButtonPress, {344, kMiddleY}, Qt::LeftButton);
         Mouse(p, QEvent::MouseButtonRelease, {344, kMiddleY}, Qt::LeftButton);
         Mouse(p, QEvent::MouseButtonDblClick, {344, kMiddleY}, Qt::LeftButton);
         Mouse(p, QEvent::MouseButtonRelease, {344, kMiddleY}, Qt::LeftButton);
       },
       0, 1000},
  };
  const Charge charge = FlatCharge(1000);
  for (const auto& row : rows) {
    PlotWidget plot;
    plot.resize(640, 400);
    plot.SetCharge(&charge);
    plot.grab();
    row.act(plot);
    const auto [first, last] = plot.VisibleSamples();
    EXPECT_NEAR(static_cast<double>(first), static_cast<double>(row.first), 1.0) << row.what;
    EXPECT_NEAR(static_cast<double>(last), static_cast<double>(row.last), 1.0) << row.what;
    // A double-click's first click sets no marker.
    EXPECT_FALSE(plot.Readout().contains("A:")) << row.what;
    // Redrawn on screen, the plot erased only what it drew before: no pixel of it is left.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&plot, &leave);
    const QImage shown = plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, plot.RenderImage(plot.size(), shown.devicePixelRatio())) << row.what;
  }
}

TEST(PlotWidgetTest, ClicksSetMarkersAAndBAndTheReadoutGivesTheirDifferencesUntilEscape) {
  const Charge charge = FlatCharge(1000);
  PlotWidget plot;
  plot.resize(640, 400);
  plot.SetCharge(&charge);
  QString sent;
  QObject::connect(&plot, &PlotWidget::ReadoutChanged, [&](const QString& text) { sent = text; });
  Mouse(plot, QEvent::MouseMove, {XOfSample(251), kMiddleY}, Qt::NoButton);
  EXPECT_EQ(sent, "sample 251 at 2:05: 1.2210 V, count 2000");
  Click(plot, {XOfSample(251), kMiddleY});
  EXPECT_EQ(sent,
            "sample 251 at 2:05: 1.2210 V, count 2000   |   A: sample 251 at 2:05: 1.2210 V, "
            "count 2000");
  Click(plot, {XOfSample(751), 30});  // the reading at the pointer's x, whatever its height
  EXPECT_EQ(sent, "sample 751 at 6:15: 1.2210 V, count 2000   |   A→B 4:10, +0.0 mV, +0.00 mV/min");
  Click(plot, {XOfSample(100), kMiddleY});  // a third click starts over
  EXPECT_TRUE(sent.contains("A: sample 100") && !sent.contains("A→B")) << sent.toStdString();
  Key(plot, Qt::Key_Escape);
  EXPECT_EQ(sent, "sample 100 at 0:50: 1.2210 V, count 2000");
  Mouse(plot, QEvent::MouseMove, {5, 5}, Qt::NoButton);  // outside the plot area
  EXPECT_EQ(sent, "");
}

TEST(PlotWidgetTest, FollowingKeepsTheNewestReadingInViewWhereItWasShown) {
  const struct {
    const char* what;
    std::function<void(PlotWidget&)> act;
    std::size_t first, last;  // after growing from 1000 to 1200 readings
  } rows[] = {
      {"everything", [](PlotWidget&) {}, 0, 1200},
      {"the newest",
       [](PlotWidget& p) {
         Drag(p, {XOfSample(800), 100}, {624, 300}, Qt::LeftButton);
       },
       999, 1200},
      {"the middle",
       [](PlotWidget& p) {
         Drag(p, {XOfSample(400), 100}, {XOfSample(600), 300}, Qt::LeftButton);
       },
       399, 600},
  };
  for (const auto& row : rows) {
    Charge charge = FlatCharge(1000);
    PlotWidget plot;
    plot.resize(640, 400);
    plot.SetCharge(&charge);
    row.act(plot);
    charge = FlatCharge(1200);
    plot.ChargeGrew();
    const auto [first, last] = plot.VisibleSamples();
    EXPECT_NEAR(static_cast<double>(first), static_cast<double>(row.first), 1.0) << row.what;
    EXPECT_NEAR(static_cast<double>(last), static_cast<double>(row.last), 1.0) << row.what;
  }
}

int PixelsOf(const QImage& image, QColor colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour.rgb() ? 1 : 0;
  }
  return count;
}

// A reference without times keeps the charge's time axis, laid out at the charge's pace. It is
// drawn behind, at any ratio, read at the pointer's x, and removing it takes it away.
TEST(PlotWidgetTest, AReferenceIsDrawnBehindAndReadAtTheSameMoment) {
  Charge charge = FlatCharge(1000);
  Charge reference;
  for (int i = 0; i < 800; ++i) reference.counts.push_back(static_cast<std::int16_t>(1500 + i));
  PlotWidget plot;
  plot.resize(640, 400);
  plot.SetCharge(&charge);
  plot.SetTimeAxis(true);
  plot.SetReference(&reference);
  EXPECT_TRUE(plot.TimeAxis());
  // On the charge's line, far above the reference's at that moment.
  Mouse(plot, QEvent::MouseMove, {XOfSample(300), kMiddleY}, Qt::NoButton);
  EXPECT_EQ(plot.Readout(), "sample 300 at 2:30: 1.2210 V, reference 1.0983 V, +122.7 mV");
  for (const qreal ratio : {1.0, 2.0}) {
    const QImage image = plot.RenderImage({400, 300}, ratio);
    EXPECT_EQ(image.size(), QSize(400, 300) * ratio);
    EXPECT_GT(PixelsOf(image, PlotRenderer::ReferenceColour()), 250 * ratio) << ratio;
    EXPECT_GT(PixelsOf(image, PlotRenderer::ChargeColour()), 300 * ratio) << ratio;
  }
  plot.SetReference(nullptr);
  EXPECT_EQ(PixelsOf(plot.RenderImage({400, 300}, 1), PlotRenderer::ReferenceColour()), 0);
  const QImage exported = RenderChargeImage(charge, &reference, {400, 300}, true);
  EXPECT_GT(PixelsOf(exported, PlotRenderer::ReferenceColour()), 250);
  plot.SetCharge(nullptr);
  EXPECT_EQ(PixelsOf(plot.RenderImage({400, 300}, 1), PlotRenderer::ChargeColour()), 0);
}

// The view moves under a pointer that stays where it is: the read-out follows.
TEST(PlotWidgetTest, TheReadoutFollowsTheViewUnderAStillPointer) {
  const struct {
    const char* what;
    std::function<void(PlotWidget&, Charge&)> act;
    const char* readout;
  } rows[] = {
      {"the left arrow key", [](PlotWidget& p, Charge&) { Key(p, Qt::Key_Left); }, "sample 704 at"},
      {"following the growth",
       [](PlotWidget& p, Charge& charge) {
         charge = FlatCharge(1200);
         p.ChargeGrew();
       },
       "sample 955 at"},
  };
  for (const auto& row : rows) {
    Charge charge = FlatCharge(1000);
    PlotWidget plot;
    plot.resize(640, 400);
    plot.SetCharge(&charge);
    Drag(plot, {XOfSample(500), 100}, {624, 300}, Qt::LeftButton);  // the newest in view
    Mouse(plot, QEvent::MouseMove, {344, kMiddleY}, Qt::NoButton);
    ASSERT_TRUE(plot.Readout().startsWith("sample 755 at")) << plot.Readout().toStdString();
    row.act(plot, charge);
    EXPECT_TRUE(plot.Readout().startsWith(row.readout))
        << row.what << ": " << plot.Readout().toStdString();
  }
}

// The analysis' marks and the slope on its own axis: drawn, gone when switched off, and erased
// where they were as the view moves.
TEST(PlotWidgetTest, TheSlopeAndTheMarksOfTheAnalysisAreDrawnAndErasedAgain) {
  Charge charge;
  for (double t = 0; t <= ChargeCurve::kEndSeconds; t += 2) {
    charge.counts.push_back(static_cast<std::int16_t>(ChargeCurve::Counts(ChargeCurve::Volts(t))));
    charge.seconds.push_back(t);
  }
  ChargeAnalysis analysis;
  analysis.Update(charge);
  SlopeCurve slope;
  slope.Update(analysis.Analyser(), charge, 0);
  const ChargeFigures figures = analysis.Analyser().Figures(0);
  PlotWidget plot;
  plot.resize(640, 400);
  plot.SetCharge(&charge);
  plot.SetTimeAxis(true);
  PlotOverlay overlay;
  overlay.marks = {
      {figures.peakSample - 1, figures.peakVolts, QStringLiteral("peak"), false},
      {*figures.endSample - 1, figures.peakVolts - 0.005, QStringLiteral("end"), true}};
  overlay.slope = &slope;
  plot.SetOverlay(overlay);
  const QColor peak(255, 255, 255);
  EXPECT_EQ(PixelsOf(plot.RenderImage({640, 400}, 1), SlopeColour()), 0);
  plot.SetSlopeShown(true);
  const QImage shown = plot.RenderImage({640, 400}, 1);
  EXPECT_GT(PixelsOf(shown, SlopeColour()), 500);
  EXPECT_GT(PixelsOf(shown, peak), 20);
  plot.grab();
  Wheel(plot, {200, kMiddleY}, 2);
  Key(plot, Qt::Key_Right);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&plot, &leave);
  const QImage moved = plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(moved, plot.RenderImage(plot.size(), moved.devicePixelRatio()));
  plot.SetOverlay({});
  EXPECT_EQ(PixelsOf(plot.RenderImage({640, 400}, 1), peak), 0);
}

// A right click (not a drag, which pans) asks for the menu with the reading under the pointer
// and the note whose flag is there; a note's flag is drawn at its reading and erased with it.
TEST(PlotWidgetTest, ARightClickAsksForTheMenuAtTheReadingAndTheFlagUnderThePointer) {
  const Charge charge = FlatCharge(1000);
  PlotWidget plot;
  plot.resize(640, 400);
  plot.SetCharge(&charge);
  PlotOverlay overlay;
  overlay.flags = {{500, QStringLiteral("fan on"), 7}};
  plot.SetOverlay(overlay);
  const QColor flag(120, 200, 255);
  const QImage image = plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_GT(PixelsOf(image, flag), 40);
  const struct {
    const char* what;
    QPointF from, to;
    std::optional<std::size_t> reading;
    std::optional<std::int64_t> noteId;
    bool asked;
  } rows[] = {
      {"a click on a reading", {XOfSample(301), 300}, {XOfSample(301), 300}, 300, {}, true},
      {"a click on the flag's cloth",
       {XOfSample(505), kMiddleY - 30},
       {XOfSample(505), kMiddleY - 30},
       504,
       7,
       true},
      {"a drag", {XOfSample(301), 300}, {XOfSample(401), 300}, {}, {}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    plot.ShowAll();
    bool asked = false;
    std::optional<std::size_t> reading;
    std::optional<std::int64_t> noteId;
    const QMetaObject::Connection connection = QObject::connect(
        &plot, &PlotWidget::MenuRequested,
        [&](QPoint, std::optional<std::size_t> at, std::optional<std::int64_t> note) {
          asked = true;
          reading = at;
          noteId = note;
        });
    Drag(plot, row.from, row.to, Qt::RightButton);
    QObject::disconnect(connection);
    EXPECT_EQ(asked, row.asked);
    EXPECT_EQ(reading, row.reading);
    EXPECT_EQ(noteId, row.noteId);
  }
  plot.ShowAll();
  plot.grab();
  plot.SetOverlay({});
  EXPECT_EQ(PixelsOf(plot.grab().toImage().convertToFormat(QImage::Format_RGB32), flag), 0);
}

TEST(ReadoutText, TimesAndVoltsAreWrittenWithTheLocalesDecimalSeparator) {
  const struct {
    double seconds;
    int decimals;
    const char* english;
    const char* german;
  } rows[] = {
      {12.34, 1, "0:12.3", "0:12,3"},
      {3723.44, 0, "1:02:03", "1:02:03"},
      {-5, 1, "-0:05.0", "-0:05,0"},
      // Beyond what a times file can hold: no hours that overflow a whole number.
      {1e18, 0, "1E+18 s", "1E+18 s"},
      {-1e300, 0, "-1E+300 s", "-1E+300 s"},
  };
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const QLocale german(QLocale::German, QLocale::Germany);
  for (const auto& row : rows) {
    EXPECT_EQ(TimeText(english, row.seconds, row.decimals), row.english);
    EXPECT_EQ(TimeText(german, row.seconds, row.decimals), row.german);
  }
  EXPECT_EQ(PointerText(german, ReadingValues{7, 2.5, 2048, 1.250305f},
                        ReadingValues{9, {}, 2000, 1.2210f}, 1),
            "sample 7 at 0:02,5: 1,2503 V, reference 1,2210 V, +29,3 mV");
}

}  // namespace
}  // namespace ampelon
