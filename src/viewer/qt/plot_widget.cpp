#include "viewer/qt/plot_widget.h"

#include <algorithm>
#include <cmath>

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "common/volts.h"
#include "viewer/axis_ticks.h"
#include "viewer/cursor_values.h"
#include "viewer/qt/readout_text.h"
#include "viewer/series_extent.h"
#include "viewer/slope_curve.h"

namespace ampelon {
namespace {

const QColor kCursorColour(255, 255, 255);
const QColor kMarkerAColour(255, 220, 0);
const QColor kMarkerBColour(0, 200, 255);

// Logical pixels: how near the pointer a reading is looked for, how far the pointer moves before
// a press becomes a drag, and how far up or down before a pan moves the volts too.
constexpr int kCursorRadius = 12;
constexpr double kDragDistance = 4;
constexpr double kVoltsPanDistance = 8;
// One notch of the wheel, and of the + and - keys.
constexpr double kZoomStep = 0.8;
// The arrow keys move the view by this share of it.
constexpr double kPanShare = 0.1;

bool HasTimes(const Charge* charge) { return charge != nullptr && !charge->seconds.empty(); }

}  // namespace

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  // A right drag pans: the menu comes with a right click's release (MenuRequested).
  setContextMenuPolicy(Qt::PreventContextMenu);
  setMinimumSize(240, 160);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize PlotWidget::sizeHint() const { return {800, 500}; }

PlotWidget::~PlotWidget() = default;

void PlotWidget::SetCharge(const Charge* charge) {
  m_charge = charge;
  m_markerA.reset();
  m_markerB.reset();
  Rebuild();
  ShowAll();
}

void PlotWidget::ChargeGrew() {
  if (m_charge == nullptr) return;
  if (!m_series || m_series->Size() == 0) {
    // The first readings: the reference is aligned at the first of them.
    Rebuild();
    ShowAll();
    return;
  }
  const std::size_t size = m_charge->counts.size();
  if (size < m_series->Size() || (m_markerA && *m_markerA >= size) ||
      (m_markerB && *m_markerB >= size)) {
    // Readings were taken away rather than added: the charge is a new one.
    SetCharge(m_charge);
    return;
  }
  const std::optional<AxisRange> before = DataExtent();
  m_series->Extend();
  const std::optional<AxisRange> after = DataExtent();
  if (before && after) m_view.Grew(*before, *after);
  // The view may have moved under a pointer that stayed where it was.
  MoveCursor(m_pointer);
  Changed();
}

void PlotWidget::SetPeaks(std::optional<PeakReadings> peaks) {
  // Told again at every poll of a followed charge: the reference is laid out anew only when its
  // place changes.
  if (peaks == m_peaks) return;
  m_peaks = peaks;
  if (m_reference == nullptr) return;
  RebuildReference();
  if (m_view.ShowingAll()) ShowAll();
  MoveCursor(m_pointer);
  Changed();
}

void PlotWidget::SetNames(const QString& charge, const QString& reference) {
  m_chargeName = charge;
  m_referenceName = reference;
  Changed();
}

void PlotWidget::RebuildReference() {
  m_referenceSeries.reset();
  m_referenceCursor.reset();
  if (m_charge == nullptr || m_reference == nullptr) return;
  const XAxis axis = AxisInUse();
  const ReferencePlacement placement = PlaceReference(*m_charge, *m_reference, axis, m_peaks);
  m_referenceSeries = std::make_unique<PlotSeries>(*m_reference, axis, placement.xOffset,
                                                   placement.secondsPerReading);
}

void PlotWidget::SetReference(const Charge* reference) {
  m_reference = reference;
  const bool wasTimeAxis = m_series && m_series->Axis() == XAxis::kTime;
  Rebuild();
  if (m_view.ShowingAll() || wasTimeAxis != (AxisInUse() == XAxis::kTime)) ShowAll();
  MoveCursor(m_pointer);
}

void PlotWidget::SetTimeAxis(bool on) {
  const XAxis before = AxisInUse();
  m_timeAxis = on;
  if (AxisInUse() == before) return;
  Rebuild();
  ShowAll();
}

bool PlotWidget::TimeAxis() const { return AxisInUse() == XAxis::kTime; }

bool PlotWidget::TimesKnown() const { return HasTimes(m_charge); }

XAxis PlotWidget::AxisInUse() const {
  return m_timeAxis && TimesKnown() ? XAxis::kTime : XAxis::kSampleNumber;
}

void PlotWidget::Rebuild() {
  m_series.reset();
  m_referenceSeries.reset();
  m_cursor.reset();
  m_referenceCursor.reset();
  if (m_charge != nullptr) {
    const XAxis axis = AxisInUse();
    m_series = std::make_unique<PlotSeries>(*m_charge, axis);
    RebuildReference();
  }
  RebuildSlope();
  UpdateReadout();
  Changed();
}

std::optional<AxisRange> PlotWidget::DataExtent() const {
  return XExtent({m_series.get(), m_referenceSeries.get()});
}

void PlotWidget::ShowAll() {
  m_view.ShowAll(DataExtent().value_or(AxisRange{0, 1}));
  MoveCursor(m_pointer);
  Changed();
}

void PlotWidget::SetEmptyText(const QString& text) {
  m_emptyText = text;
  Changed();
}

AxisRange PlotWidget::VoltsShown() const {
  if (m_view.Volts()) return *m_view.Volts();
  return VoltsInView({m_series.get(), m_referenceSeries.get()}, m_view.X());
}

PlotFrame PlotWidget::Frame() const {
  return FrameFor(width(), height(), m_view.X(), VoltsShown(), m_slopeSeries != nullptr);
}

std::pair<std::size_t, std::size_t> PlotWidget::VisibleSamples() const {
  if (!m_series) return {0, 0};
  const auto [first, last] = m_series->PointsBetween(m_view.X().low, m_view.X().high);
  if (first == last) return {0, 0};
  return {m_series->Reading(first), m_series->Reading(last - 1) + 1};
}

PlotScene PlotWidget::Scene(bool withSelection) const {
  PlotScene scene;
  scene.emptyText = m_emptyText;
  if (!m_series || m_series->Size() == 0) return scene;
  scene.charge = m_series.get();
  scene.reference = m_referenceSeries.get();
  scene.x = m_view.X();
  scene.volts = VoltsShown();
  scene.chargeName = m_chargeName;
  scene.referenceName = m_referenceName;
  const QLocale locale;
  const int decimals = TimeDecimals();
  const auto mark = [&](const PlotSeries& series, std::size_t point, QColor colour,
                        const QString& name) {
    scene.marks.push_back({series.X(point), Volts(series.Count(point)), colour, name});
  };
  if (m_referenceCursor) {
    mark(*m_referenceSeries, *m_referenceCursor, PlotRenderer::ReferenceColour(), {});
  }
  if (m_cursor) mark(*m_series, *m_cursor, kCursorColour, {});
  const std::pair<std::optional<std::size_t>, QString> markers[] = {{m_markerA, "A"},
                                                                    {m_markerB, "B"}};
  for (const auto& [reading, name] : markers) {
    if (!reading) continue;
    if (const std::optional<std::size_t> point = m_series->PointOf(*reading)) {
      mark(*m_series, *point, name == "A" ? kMarkerAColour : kMarkerBColour, name);
    }
    scene.notes << name + QStringLiteral("  ") +
                       ReadingText(locale, ValuesOf(*m_charge, *reading), decimals);
  }
  if (m_markerA && m_markerB) {
    scene.notes << DifferenceText(
        locale, DifferenceOf(ValuesOf(*m_charge, *m_markerA), ValuesOf(*m_charge, *m_markerB)),
        decimals);
  }
  if (withSelection && m_drag == Drag::kRectangle) {
    scene.selection = QRectF(m_pressedAt, m_dragAt);
  }
  for (const PlotOverlay::Mark& event : m_overlay.marks) {
    if (const std::optional<double> x = XOfReading(event.reading)) {
      scene.events.push_back({*x, event.volts, event.label, event.end});
    }
  }
  for (const PlotOverlay::Flag& flag : m_overlay.flags) {
    if (const std::optional<double> x = XOfReading(flag.reading)) {
      scene.flags.push_back({*x, Volts(m_charge->counts[flag.reading]), flag.text, false});
    }
  }
  if (m_overlay.span) {
    const std::optional<double> first = XOfReading(m_overlay.span->first);
    const std::optional<double> last = XOfReading(m_overlay.span->second);
    if (first && last) scene.span = PlotSpan{{*first, *last}, m_overlay.spanLabel};
  }
  if (m_slopeSeries) {
    scene.slope = m_slopeSeries.get();
    scene.slopeRange = SlopeShown();
  }
  return scene;
}

QImage PlotWidget::RenderImage(QSize logicalSize, qreal devicePixelRatio) const {
  QImage image(logicalSize * devicePixelRatio, QImage::Format_RGB32);
  image.setDevicePixelRatio(devicePixelRatio);
  if (image.isNull()) return image;
  PlotScene scene = Scene(false);
  // The cursor follows the pointer on screen; a picture of the plot leaves it out.
  std::erase_if(scene.marks, [](const PlotMark& mark) { return mark.name.isEmpty(); });
  PlotRenderer().Render(scene, image);
  return image;
}

void PlotWidget::Changed() {
  m_imageStale = true;
  update();
  emit ViewChanged();
}

void PlotWidget::SetOverlay(PlotOverlay overlay) {
  m_overlay = std::move(overlay);
  RebuildSlope();
  Changed();
}

void PlotWidget::SetSlopeShown(bool on) {
  m_slopeShown = on;
  RebuildSlope();
  MoveCursor(m_pointer);  // the plot area changed its width
  Changed();
}

void PlotWidget::RebuildSlope() {
  m_slopeSeries.reset();
  if (!m_slopeShown || m_overlay.slope == nullptr || m_series == nullptr) return;
  const Charge& points = m_overlay.slope->Points(AxisInUse());
  if (!points.counts.empty()) m_slopeSeries = std::make_unique<PlotSeries>(points, XAxis::kTime);
}

AxisRange PlotWidget::SlopeShown() const {
  const std::optional<CountRange> counts =
      m_slopeSeries->CountsBetween(m_view.X().low, m_view.X().high);
  if (!counts) return {-1, 1};
  const double low = SlopeCurve::MillivoltsPerMinute(counts->lowest);
  const double high = SlopeCurve::MillivoltsPerMinute(counts->highest);
  // A little room above and below, and never narrower than a millivolt a minute, so that a
  // steady slope does not draw its wobbles across the whole height.
  const double middle = (low + high) / 2;
  const double half = std::max((high - low) * 0.55, 0.5);
  return {middle - half, middle + half};
}

std::optional<double> PlotWidget::XOfReading(std::size_t reading) const {
  if (m_series == nullptr || m_charge == nullptr || reading >= m_charge->counts.size()) {
    return std::nullopt;
  }
  if (m_series->Axis() == XAxis::kSampleNumber) return static_cast<double>(reading) + 1;
  const double seconds = m_charge->seconds[reading];
  if (!std::isfinite(seconds)) return std::nullopt;
  return seconds;
}

std::optional<std::int64_t> PlotWidget::FlagAt(QPointF position) const {
  const PlotFrame frame = Frame();
  for (auto flag = m_overlay.flags.rbegin(); flag != m_overlay.flags.rend(); ++flag) {
    const std::optional<double> x = XOfReading(flag->reading);
    if (!x) continue;
    const double pixelX = frame.PixelX(*x);
    const double pixelY = frame.PixelY(Volts(m_charge->counts[flag->reading]));
    // The pole and its cloth, above or below the reading.
    if (position.x() >= pixelX - 4 && position.x() <= pixelX + 14 &&
        std::fabs(position.y() - pixelY) <= 40) {
      return flag->noteId;
    }
  }
  return std::nullopt;
}

void PlotWidget::ShowReadings(std::size_t first, std::size_t last) {
  std::optional<double> low = XOfReading(first);
  std::optional<double> high = XOfReading(last);
  if (!low || !high || !(*high > *low)) return;
  // Half way to the readings either side, so that the view holds these readings and no others.
  const std::optional<double> before = first > 0 ? XOfReading(first - 1) : std::nullopt;
  const std::optional<double> after = XOfReading(last + 1);
  const double room = (*high - *low) * 0.01;
  *low = before && *before < *low ? (*before + *low) / 2 : *low - room;
  *high = after && *after > *high ? (*after + *high) / 2 : *high + room;
  m_view.ZoomTo(AxisRange{*low, *high}, std::nullopt);
  MoveCursor(m_pointer);
  Changed();
}

void PlotWidget::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels(static_cast<int>(std::ceil(width() * ratio)),
                     static_cast<int>(std::ceil(height() * ratio)));
  if (m_image.size() != pixels || m_image.devicePixelRatio() != ratio) {
    m_image = QImage(pixels, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    m_imageStale = true;
    m_imageNew = true;
  }
  if (m_imageStale && !m_image.isNull()) {
    m_renderer.Render(Scene(true), m_image, !m_imageNew);
    m_imageStale = false;
    m_imageNew = false;
  }
  QPainter painter(this);
  painter.drawImage(QPointF(0, 0), m_image);
}

void PlotWidget::MoveCursor(std::optional<QPointF> position) {
  m_pointer = position;
  const std::optional<std::size_t> cursor = m_cursor;
  const std::optional<std::size_t> referenceCursor = m_referenceCursor;
  m_cursor.reset();
  m_referenceCursor.reset();
  const PlotFrame frame = Frame();
  if (position && m_series && frame.Contains(position->x(), position->y())) {
    // Every curve is read at the pointer's x, so that they are compared at the same moment.
    const double x = frame.XAt(position->x());
    const double reach = kCursorRadius * frame.x.Span() / frame.width;
    m_cursor = PointAtX(*m_series, x, reach);
    if (m_referenceSeries) m_referenceCursor = PointAtX(*m_referenceSeries, x, reach);
  }
  // Also with the same readings: a zoom may change how their times are written.
  UpdateReadout();
  if (cursor != m_cursor || referenceCursor != m_referenceCursor) Changed();
}

int PlotWidget::TimeDecimals() const {
  if (AxisInUse() != XAxis::kTime) return 0;
  const PlotFrame frame = Frame();
  return XAxisTicks(true, frame.x.low, frame.x.high, frame.width).decimals;
}

void PlotWidget::UpdateReadout() {
  const QLocale locale;
  const int decimals = TimeDecimals();
  QStringList parts;
  std::optional<ReadingValues> charge;
  std::optional<ReadingValues> reference;
  if (m_cursor) charge = ValuesOf(*m_charge, m_series->Reading(*m_cursor));
  if (m_referenceCursor) {
    reference = ValuesOf(*m_reference, m_referenceSeries->Reading(*m_referenceCursor));
  }
  if (charge || reference) parts << PointerText(locale, charge, reference, decimals);
  if (m_charge != nullptr && m_markerA) {
    const ReadingValues a = ValuesOf(*m_charge, *m_markerA);
    // Both markers' own values are in the plot's note; here their difference.
    parts << (m_markerB ? BriefDifferenceText(
                              locale, DifferenceOf(a, ValuesOf(*m_charge, *m_markerB)), decimals)
                        : QStringLiteral("A: ") + ReadingText(locale, a, decimals));
  }
  const QString readout = parts.join(QStringLiteral("   |   "));
  if (readout == m_readout) return;
  m_readout = readout;
  emit ReadoutChanged(m_readout);
}

void PlotWidget::mousePressEvent(QMouseEvent* event) {
  m_pressedAt = event->position();
  m_dragAt = m_pressedAt;
  if (event->button() == Qt::LeftButton) {
    m_drag = Drag::kPending;
  } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
    m_drag = Drag::kPan;
    m_panningVolts = false;
  }
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (m_drag == Drag::kPending && QLineF(m_pressedAt, at).length() > kDragDistance) {
    m_drag = Drag::kRectangle;
  }
  if (m_drag == Drag::kRectangle) {
    m_dragAt = at;
    Changed();
  } else if (m_drag == Drag::kPan) {
    const PlotFrame frame = Frame();
    m_panningVolts = m_panningVolts || std::fabs(at.y() - m_pressedAt.y()) > kVoltsPanDistance;
    const double dx = -(at.x() - m_dragAt.x()) / frame.width * frame.x.Span();
    const double dv =
        m_panningVolts ? (at.y() - m_dragAt.y()) / frame.height * frame.volts.Span() : 0.0;
    m_view.Pan(dx, dv, frame.volts);
    m_dragAt = at;
    Changed();
  }
  MoveCursor(at);
}

void PlotWidget::mouseReleaseEvent(QMouseEvent* event) {
  const Drag drag = m_drag;
  m_drag = Drag::kNone;
  if (m_ignoreRelease) {
    m_ignoreRelease = false;
    return;
  }
  if (drag == Drag::kPan && event->button() == Qt::RightButton &&
      QLineF(m_pressedAt, event->position()).length() <= kDragDistance) {
    const PlotFrame frame = Frame();
    std::optional<std::size_t> reading;
    if (m_series && frame.Contains(event->position().x(), event->position().y())) {
      const std::optional<std::size_t> point =
          PointAtX(*m_series, frame.XAt(event->position().x()), frame.x.Span());
      if (point) reading = m_series->Reading(*point);
    }
    emit MenuRequested(event->globalPosition().toPoint(), reading, FlagAt(event->position()));
    return;
  }
  if (drag == Drag::kRectangle && event->button() == Qt::LeftButton) {
    const PlotFrame frame = Frame();
    const QPointF at = event->position();
    std::optional<AxisRange> x;
    std::optional<AxisRange> volts;
    // A rectangle only a few pixels high zooms the x axis alone, and one as narrow the volts.
    if (std::fabs(at.x() - m_pressedAt.x()) > kDragDistance) {
      x = AxisRange{frame.XAt(m_pressedAt.x()), frame.XAt(at.x())};
    }
    if (std::fabs(at.y() - m_pressedAt.y()) > kDragDistance) {
      volts = AxisRange{frame.VoltsAt(m_pressedAt.y()), frame.VoltsAt(at.y())};
    }
    m_view.ZoomTo(x, volts);
    MoveCursor(at);
    Changed();
  } else if (drag == Drag::kPending && event->button() == Qt::LeftButton && m_cursor) {
    m_markerABeforeClick = m_markerA;
    m_markerBBeforeClick = m_markerB;
    const std::size_t reading = m_series->Reading(*m_cursor);
    if (!m_markerA || m_markerB) {
      m_markerA = reading;
      m_markerB.reset();
    } else {
      m_markerB = reading;
    }
    UpdateReadout();
    Changed();
  }
}

void PlotWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // The click before set a marker; a double-click means only "show everything".
  m_markerA = m_markerABeforeClick;
  m_markerB = m_markerBBeforeClick;
  m_ignoreRelease = true;
  m_drag = Drag::kNone;
  UpdateReadout();
  ShowAll();
}

void PlotWidget::wheelEvent(QWheelEvent* event) {
  const PlotFrame frame = Frame();
  const QPointF at = event->position();
  const double notches = event->angleDelta().y() / 120.0;
  if (notches != 0) {
    const double factor = std::pow(kZoomStep, notches);
    if ((event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != 0) {
      m_view.ZoomVolts(frame.volts, frame.VoltsAt(at.y()), factor);
    } else {
      m_view.ZoomX(frame.XAt(at.x()), factor);
    }
  }
  const double sideways = event->angleDelta().x() / 120.0;
  if (sideways != 0) m_view.Pan(-sideways * kPanShare * frame.x.Span(), 0, frame.volts);
  MoveCursor(at);
  Changed();
  event->accept();
}

void PlotWidget::keyPressEvent(QKeyEvent* event) {
  const PlotFrame frame = Frame();
  const double xStep = kPanShare * frame.x.Span();
  const double voltsStep = kPanShare * frame.volts.Span();
  const double middle = (frame.x.low + frame.x.high) / 2;
  switch (event->key()) {
    case Qt::Key_Left:
      m_view.Pan(-xStep, 0, frame.volts);
      break;
    case Qt::Key_Right:
      m_view.Pan(xStep, 0, frame.volts);
      break;
    case Qt::Key_Up:
      m_view.Pan(0, voltsStep, frame.volts);
      break;
    case Qt::Key_Down:
      m_view.Pan(0, -voltsStep, frame.volts);
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      m_view.ZoomX(middle, kZoomStep);
      break;
    case Qt::Key_Minus:
      m_view.ZoomX(middle, 1 / kZoomStep);
      break;
    case Qt::Key_Home:
      ShowAll();
      return;
    case Qt::Key_Escape:
      m_markerA.reset();
      m_markerB.reset();
      m_drag = Drag::kNone;
      UpdateReadout();
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  MoveCursor(m_pointer);
  Changed();
}

void PlotWidget::leaveEvent(QEvent*) { MoveCursor(std::nullopt); }

}  // namespace ampelon
