#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "viewer/charge.h"
#include "viewer/plot_frame.h"
#include "viewer/plot_series.h"
#include "viewer/plot_view.h"
#include "viewer/qt/plot_overlay.h"
#include "viewer/qt/plot_renderer.h"
#include "viewer/reference_placement.h"

namespace ampelon {

// The viewer's plot: volts against sample number or time, with zoom, pan, a cursor read-out, two
// markers and a reference charge drawn behind.
//
// Wheel: zoom around the pointer (with Ctrl or Shift: the volts). Left drag: zoom into the
// rectangle. Right or middle drag, arrow keys: pan. Home, double-click: everything. Click: marker
// A, then B. Escape: no markers. Right click: MenuRequested.
class PlotWidget final : public QWidget {
  Q_OBJECT

 public:
  explicit PlotWidget(QWidget* parent = nullptr);
  ~PlotWidget() override;

  // The charge drawn; not owned, must outlive the widget's use of it; nullptr shows the empty text.
  // Call again after the charge was replaced; call ChargeGrew() after readings were appended.
  void SetCharge(const Charge* charge);
  void ChargeGrew();
  void SetReference(const Charge* reference);  // drawn behind in another colour; nullptr removes it
  // The readings at which the charge and the reference peak: the reference is moved so that
  // its peak lies on the charge's. Nothing puts it back at its first reading.
  void SetPeaks(std::optional<PeakReadings> peaks);
  // The curves' names in the legend (file names and dates); empty ones are not shown.
  void SetNames(const QString& charge, const QString& reference);
  // Has effect only while TimesKnown(): the charge's times. A reference without times is then
  // laid out at the charge's pace (PlaceReference).
  void SetTimeAxis(bool on);
  bool TimeAxis() const;
  bool TimesKnown() const;
  void ShowAll();                          // Home / double-click do the same
  void SetEmptyText(const QString& text);  // shown when there is no charge
  // Readings in view, half-open [first, last) indices into the charge's counts.
  std::pair<std::size_t, std::size_t> VisibleSamples() const;
  // The plot as shown, for PNG export, at any size (used by the command line too, offscreen).
  QImage RenderImage(QSize logicalSize, qreal devicePixelRatio) const;

  QSize sizeHint() const override;

  // The read-out as last sent.
  QString Readout() const { return m_readout; }

  // What the analysis found, drawn over the charge; call again after the charge grew.
  void SetOverlay(PlotOverlay overlay);
  void SetSlopeShown(bool on);  // the overlay's slope curve, on an axis at the right
  // Markers A and B as readings of the charge, where set.
  std::pair<std::optional<std::size_t>, std::optional<std::size_t>> Markers() const {
    return {m_markerA, m_markerB};
  }
  // Zooms the x axis to the readings [first, last] of the charge.
  void ShowReadings(std::size_t first, std::size_t last);

 signals:
  void ReadoutChanged(const QString& text);  // cursor and marker read-out, for the status bar
  void ViewChanged();                        // the view, a marker or the charge may have changed
  // A right click at `global` (screen pixels): the charge's reading nearest the pointer's x,
  // and the note whose flag is under the pointer, where there is one.
  void MenuRequested(QPoint global, std::optional<std::size_t> reading,
                     std::optional<std::int64_t> noteId);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  enum class Drag { kNone, kPending, kRectangle, kPan };

  // Builds the series for the axis in use and shows everything.
  void Rebuild();
  XAxis AxisInUse() const;
  std::optional<AxisRange> DataExtent() const;
  AxisRange VoltsShown() const;
  PlotFrame Frame() const;
  PlotScene Scene(bool withSelection) const;
  // The cursor on the readings nearest to `position` (logical pixels), or off.
  void MoveCursor(std::optional<QPointF> position);
  void UpdateReadout();
  // The decimals of the seconds that the time axis writes, and read-outs with it.
  int TimeDecimals() const;
  void RebuildReference();
  void Changed();
  // The overlay's slope curve as a series on the axis in use, while it is shown.
  void RebuildSlope();
  std::optional<double> XOfReading(std::size_t reading) const;
  AxisRange SlopeShown() const;
  // The note whose flag is within reach of `position` (logical pixels).
  std::optional<std::int64_t> FlagAt(QPointF position) const;

  const Charge* m_charge = nullptr;
  const Charge* m_reference = nullptr;
  std::unique_ptr<PlotSeries> m_series;
  std::unique_ptr<PlotSeries> m_referenceSeries;
  std::optional<PeakReadings> m_peaks;
  QString m_chargeName;
  QString m_referenceName;
  std::unique_ptr<PlotSeries> m_slopeSeries;
  PlotOverlay m_overlay;
  bool m_slopeShown = false;
  bool m_timeAxis = false;
  PlotView m_view;
  QString m_emptyText;
  QString m_readout;

  // Points of the series at the pointer's x; markers as readings of the charge.
  std::optional<std::size_t> m_cursor;
  std::optional<std::size_t> m_referenceCursor;
  std::optional<QPointF> m_pointer;
  std::optional<std::size_t> m_markerA;
  std::optional<std::size_t> m_markerB;
  // The markers as they were before the last click, for a double-click to put back.
  std::optional<std::size_t> m_markerABeforeClick;
  std::optional<std::size_t> m_markerBBeforeClick;

  Drag m_drag = Drag::kNone;
  QPointF m_pressedAt;
  QPointF m_dragAt;
  bool m_panningVolts = false;
  bool m_ignoreRelease = false;

  PlotRenderer m_renderer;
  QImage m_image;
  bool m_imageStale = true;
  bool m_imageNew = true;  // nothing the renderer drew is on it
};

}  // namespace ampelon
