// Redrawing the viewer's plot after a zoom or pan step, the way the widget does it on screen: the
// step, then the paint that renders the plot and copies it into a backing store. The pyramid's
// way (the program's) against walking every reading and line each frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWheelEvent>

#include "viewer/charge.h"
#include "viewer/charge_analysis.h"
#include "viewer/column_trace.h"
#include "viewer/plot_series.h"
#include "viewer/qt/plot_widget.h"
#include "viewer/slope_curve.h"

namespace ampelon {
namespace {

// A charge curve with noise, half a second a reading.
Charge ChargeOf(std::size_t size, double height) {
  std::mt19937 random(1);
  Charge charge;
  charge.counts.reserve(size);
  charge.seconds.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(size);
    const double volts = 1.2 + height * (1 - std::exp(-t * 20)) + 0.15 * std::pow(t, 6) -
                         (t > 0.95 ? (t - 0.95) * 0.4 : 0.0);
    charge.counts.push_back(static_cast<std::int16_t>(volts / 2.5 * 4095 + (random() % 7) - 3.0));
    charge.seconds.push_back(0.1 + 0.5 * static_cast<double>(i));
  }
  return charge;
}

struct RedrawCase {
  std::size_t readings;
  std::size_t referenceReadings;  // 0: no reference
  bool slope = false;             // the slope on its axis, and the peak and end marked
};

// Zoom in, pan right, zoom out, pan left: the view stays where it was over four steps.
void Step(PlotWidget& widget, int step) {
  if (step % 2 == 0) {
    const QPointF at(widget.width() * 0.6, widget.height() * 0.5);
    QWheelEvent wheel(at, widget.mapToGlobal(at), {}, QPoint(0, step % 4 == 0 ? 120 : -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&widget, &wheel);
  } else {
    QKeyEvent key(QEvent::KeyPress, step % 4 == 1 ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &key);
  }
}

void BM_ViewerRedraw(benchmark::State& state, RedrawCase size) {
  const Charge charge = ChargeOf(size.readings, 0.1);
  const Charge reference = ChargeOf(size.referenceReadings, 0.08);
  PlotWidget widget;
  widget.resize(1920, 1080);
  widget.SetCharge(&charge);
  if (size.referenceReadings > 0) widget.SetReference(&reference);
  widget.SetTimeAxis(true);
  ChargeAnalysis analysis;
  SlopeCurve slope;
  if (size.slope) {
    analysis.Update(charge);
    slope.Update(analysis.Analyser(), charge, 0);
    const ChargeFigures figures = analysis.Analyser().Figures(0);
    PlotOverlay overlay;
    overlay.marks.push_back({figures.peakSample - 1, figures.peakVolts, "peak 1.4500 V", false});
    if (figures.endSample) {
      overlay.marks.push_back({*figures.endSample - 1, figures.peakVolts, "peak-passed", true});
    }
    overlay.slope = &slope;
    widget.SetOverlay(overlay);
    widget.SetSlopeShown(true);
  }
  // Zoomed in a little, so that the steps move a view that is not everything.
  Step(widget, 0);
  QImage backingStore(widget.size(), QImage::Format_ARGB32_Premultiplied);
  int step = 1;
  for (auto _ : state) {
    Step(widget, step++);
    widget.render(&backingStore);
    benchmark::ClobberMemory();
  }
  const PlotSeries series(charge, XAxis::kTime);
  state.counters["pyramid_bytes_per_reading"] =
      static_cast<double>(series.Bytes()) / static_cast<double>(size.readings);
}

// What a frame of the same curves costs walking every reading and every line between two.
void BM_ViewerTraceEveryPoint(benchmark::State& state, RedrawCase size) {
  const Charge charge = ChargeOf(size.readings, 0.1);
  const Charge reference = ChargeOf(size.referenceReadings, 0.08);
  const PlotSeries series(charge, XAxis::kTime);
  const PlotSeries referenceSeries(reference, XAxis::kTime);
  std::vector<ColumnSpan> spans(1840);
  const ColumnMapping columns{0, 1840 / (0.5 * static_cast<double>(size.readings)), 1840};
  const RowMapping rows{1.5, 1016 / 0.4, 1016};
  for (auto _ : state) {
    TraceEveryPoint(series, columns, rows, spans);
    if (size.referenceReadings > 0) TraceEveryPoint(referenceSeries, columns, rows, spans);
    benchmark::DoNotOptimize(spans.data());
  }
}

void Register() {
  const std::pair<const char*, RedrawCase> cases[] = {
      {"1920x1080", {100000, 100000}},
      {"1920x1080_10M", {10000000, 0}},
      {"1920x1080_slope_and_reference", {100000, 100000, true}},
      {"1920x1080_10M_slope", {10000000, 0, true}},
      {"1920x1080_10M_slope_and_reference", {10000000, 10000000, true}}};
  for (const auto& [name, size] : cases) {
    benchmark::RegisterBenchmark((std::string("BM_ViewerRedraw/") + name).c_str(), BM_ViewerRedraw,
                                 size)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    if (size.slope) continue;
    benchmark::RegisterBenchmark((std::string("BM_ViewerTraceEveryPoint/") + name).c_str(),
                                 BM_ViewerTraceEveryPoint, size)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace
}  // namespace ampelon

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ampelon::Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
