// A whole chart refresh with a full store, against plotting the same points one QPainter call
// each, and a refresh together with the paint that puts the chart on screen. Run under
// QT_SCALE_FACTOR=2 for the refresh figures at a device pixel ratio of 2; the refresh and paint
// cases pick a screen of their own ratio.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTemporaryFile>

#include "chart/chart.h"
#include "chart/chart_layout.h"
#include "chart/plot.h"
#include "chart/window_geometry.h"
#include "common/text_label.h"
#include "fakes/fake_clock.h"
#include "measurement/sample_store.h"
#include "ui/qt/chart_widget.h"

// Counts every allocation of the process, so the refresh can show that it allocates nothing per
// reading and its memory does not grow from tick to tick.
namespace {
std::size_t g_allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace ampelon {
namespace {

class NullLabel final : public TextLabel {
 public:
  void SetText(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
  void SetTop(float) override {}
  void SetBackground(Colour) override {}
  void SetHoverText(std::string_view) override {}
};

class FixedGeometry final : public WindowGeometry {
 public:
  FixedGeometry(float widthTwips, float heightTwips) : m_width(widthTwips), m_height(heightTwips) {}
  bool IsMinimized() const override { return false; }
  float LeftTwips() const override { return 0; }
  float TopTwips() const override { return 0; }
  float OuterWidthTwips() const override { return m_width; }
  float OuterHeightTwips() const override { return m_height; }
  void SetLeftTwips(float) override {}
  void SetTopTwips(float) override {}
  void SetOuterWidthTwips(float) override {}
  void SetOuterHeightTwips(float) override {}
  void KeepOnScreen() override {}

 private:
  float m_width;
  float m_height;
};

// A charge curve: a quick rise, a long plateau, a peak and a small drop.
void FillWithCharge(SampleStore& store) {
  for (int i = 0; i < SampleStore::kSampleCapacity; ++i) {
    const double t = static_cast<double>(i) / SampleStore::kSampleCapacity;
    const double volts = 1.2 + 0.1 * (1 - std::exp(-t * 20)) + 0.15 * std::pow(t, 6) -
                         (t > 0.95 ? (t - 0.95) * 0.4 : 0.0);
    store.AppendSample(static_cast<std::int16_t>(volts / 2.5 * 4095 + (i % 7) - 3));
  }
}

// The window the widgets are laid out for, 7140 x 9150 twips: a chart of 6015 x 6735 twips.
constexpr float kLayoutWidthTwips = 7140;
constexpr float kLayoutHeightTwips = 9150;

struct ChartFixture {
  testing::FakeClock clock{36000.0f};
  SampleStore store{clock};
  Twips twips{96.0};
  ChartWidget widget{twips, nullptr};
  FixedGeometry geometry;
  std::array<NullLabel, 9> labels;
  std::unique_ptr<Chart> chart;

  // The chart widget is a window of its own on `screen` (the primary screen when null).
  explicit ChartFixture(float outerWidthTwips = kLayoutWidthTwips,
                        float outerHeightTwips = kLayoutHeightTwips, QScreen* screen = nullptr)
      : geometry(outerWidthTwips, outerHeightTwips) {
    if (screen != nullptr) {
      widget.setScreen(screen);
      widget.move(screen->geometry().topLeft());
    }
    FillWithCharge(store);
    ChartLabels chartLabels;
    for (std::size_t i = 0; i < 7; ++i) chartLabels.axis[i] = &labels[i];
    chartLabels.currentValue = &labels[7];
    chartLabels.chargeTime = &labels[8];
    chart = std::make_unique<Chart>(store, widget, geometry, chartLabels);
    chart->SetWindow(VoltageWindow::AtStart(0.3f));
    chart->LayoutChart();
  }
};

void BM_RefreshChartFullStore(benchmark::State& state) {
  ChartFixture fixture;
  const std::size_t allocationsBefore = g_allocations;
  for (auto _ : state) {
    fixture.chart->RefreshChart();
    benchmark::ClobberMemory();
  }
  state.counters["allocations_per_refresh"] =
      static_cast<double>(g_allocations - allocationsBefore) /
      static_cast<double>(state.iterations());
  state.counters["device_pixels"] =
      fixture.widget.Image().width() * fixture.widget.Image().height();
  state.SetItemsProcessed(state.iterations() * SampleStore::kSampleCapacity);
}
BENCHMARK(BM_RefreshChartFullStore)->Unit(benchmark::kMicrosecond);

// The straightforward way: one QPainter::drawPoint per reading on an image of the same size.
void BM_DrawPointPerReading(benchmark::State& state) {
  ChartFixture fixture;
  const QImage& reference = fixture.widget.Image();
  QImage image(reference.size(), QImage::Format_RGB32);
  image.setDevicePixelRatio(reference.devicePixelRatio());
  const auto scale = PlotScale::For(fixture.chart->Window());
  std::vector<ChartPoint> points(SampleStore::kSampleCapacity);
  std::vector<float> heights;
  const auto samples = fixture.store.Samples();
  const PlotMapper mapper(*scale, static_cast<int>(samples.size()), fixture.store.LowestSample(),
                          fixture.store.HighestSample(), heights);
  const auto plotted = mapper.Map(samples, 1, points);
  const double sx = image.width() / image.devicePixelRatio() / 1003.0;
  const double sy = image.height() / image.devicePixelRatio() / -1003.0;
  for (auto _ : state) {
    QPainter painter(&image);
    painter.setPen(QColor(192, 255, 192));
    for (const ChartPoint& point : plotted) {
      painter.drawPoint(QPointF((point.x + 1) * sx, (point.y - 1000) * sy));
    }
    painter.end();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * SampleStore::kSampleCapacity);
}
BENCHMARK(BM_DrawPointPerReading)->Unit(benchmark::kMicrosecond);

// The parts of a refresh on their own, to see where its time goes.
void BM_RefreshStage(benchmark::State& state) {
  ChartFixture fixture;
  const auto scale = PlotScale::For(fixture.chart->Window());
  std::vector<ChartPoint> points(SampleStore::kSampleCapacity);
  std::vector<float> heights;
  const auto samples = fixture.store.Samples();
  const PlotMapper whole(*scale, static_cast<int>(samples.size()), fixture.store.LowestSample(),
                         fixture.store.HighestSample(), heights);
  whole.Map(samples, 1, points);
  for (auto _ : state) {
    switch (state.range(0)) {
      case 0:
        fixture.chart->DrawGrid();
        break;
      case 1: {
        const PlotMapper mapper(*scale, static_cast<int>(samples.size()),
                                fixture.store.LowestSample(), fixture.store.HighestSample(),
                                heights);
        benchmark::DoNotOptimize(mapper.Map(samples, 1, points).data());
        break;
      }
      default:
        fixture.widget.DrawPoints(points, kPointColour);
        break;
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RefreshStage)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// One tick as the program spends it: a refresh with a full store, then the paint that copies the
// chart into a window-sized image in the format of X11's backing store, as the window system's
// repaint does. Wall time, so that work Qt hands to its thread pool counts too.
struct PaintCase {
  int widthPixels;  // the chart's size in logical pixels
  int heightPixels;
  int pixelRatio;  // device pixels per logical pixel
};

// Qt's X11 backing store on a 24-bit screen (the offscreen one uses RGB32).
constexpr QImage::Format kBackingStoreFormat = QImage::Format_ARGB32_Premultiplied;

// Twips per logical pixel at the fixture's 96 DPI.
constexpr int kTwipsPerPixel = 15;

QScreen* ScreenOfRatio(int pixelRatio) {
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen->devicePixelRatio() == pixelRatio) return screen;
  }
  return nullptr;
}

void BM_RefreshAndPaint(benchmark::State& state, PaintCase size) {
  QScreen* screen = ScreenOfRatio(size.pixelRatio);
  if (screen == nullptr) {
    state.SkipWithError("no screen of that device pixel ratio");
    return;
  }
  ChartFixture fixture(static_cast<float>(size.widthPixels * kTwipsPerPixel) + kChartWidthMargin,
                       static_cast<float>(size.heightPixels * kTwipsPerPixel) + kChartHeightMargin,
                       screen);
  fixture.widget.show();
  QCoreApplication::processEvents();
  fixture.chart->RefreshChart();
  const QImage& chart = fixture.widget.Image();
  if (chart.width() != size.widthPixels * size.pixelRatio ||
      chart.height() != size.heightPixels * size.pixelRatio) {
    state.SkipWithError("the chart image is not of the size in the name");
    return;
  }
  QImage backingStore(chart.size(), kBackingStoreFormat);
  backingStore.setDevicePixelRatio(chart.devicePixelRatio());
  for (auto _ : state) {
    fixture.chart->RefreshChart();
    fixture.widget.render(&backingStore);
    benchmark::ClobberMemory();
  }
  state.counters["device_pixels"] = chart.width() * chart.height();
}

void RegisterRefreshAndPaint() {
  // The chart at the window's laid-out size, full HD, and full HD's logical size on a 4K screen.
  const PaintCase cases[] = {{401, 449, 1}, {1920, 1080, 1}, {1920, 1080, 2}};
  for (const PaintCase& size : cases) {
    std::string name = "BM_RefreshAndPaint/" + std::to_string(size.widthPixels * size.pixelRatio) +
                       "x" + std::to_string(size.heightPixels * size.pixelRatio);
    if (size.pixelRatio != 1) name += "_dpr" + std::to_string(size.pixelRatio);
    benchmark::RegisterBenchmark(name.c_str(), BM_RefreshAndPaint, size)
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace
}  // namespace ampelon

int main(int argc, char** argv) {
  // Offscreen, on two screens of device pixel ratio 1 (the primary) and 2 for the refresh and
  // paint cases.
  QTemporaryFile screens;
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if ((platform.isEmpty() || platform == "offscreen") && screens.open()) {
    screens.write(R"({"screens": [
      {"name": "ratio1", "x": 0, "y": 0, "width": 4000, "height": 2400},
      {"name": "ratio2", "x": 4000, "y": 0, "width": 4000, "height": 2400}]})");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_SCREEN_SCALE_FACTORS")) {
      qputenv("QT_SCREEN_SCALE_FACTORS", "ratio1=1;ratio2=2");
    }
  }
  QApplication application(argc, argv);
  ampelon::RegisterRefreshAndPaint();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
