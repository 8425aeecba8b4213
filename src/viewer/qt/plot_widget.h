#pragma once

#include <cstddef>
#include <utility>

#include <QImage>
#include <QString>
#include <QWidget>

#include "viewer/charge.h"

namespace ampelon {

// The viewer's plot: volts against sample number or time, with zoom, pan, a cursor read-out, two
// markers and a reference charge drawn behind.
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
  void SetTimeAxis(bool on);                   // has effect only while TimesKnown()
  bool TimeAxis() const;
  bool TimesKnown() const;
  void ShowAll();                          // Home / double-click do the same
  void SetEmptyText(const QString& text);  // shown when there is no charge
  // Readings in view, half-open [first, last) indices into the charge's counts.
  std::pair<std::size_t, std::size_t> VisibleSamples() const;
  // The plot as shown, for PNG export, at any size (used by the command line too, offscreen).
  QImage RenderImage(QSize logicalSize, qreal devicePixelRatio) const;

 signals:
  void ReadoutChanged(const QString& text);  // cursor and marker read-out, for the status bar

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Charge* m_charge = nullptr;
  const Charge* m_reference = nullptr;
  bool m_timeAxis = false;
  QString m_emptyText;
};

}  // namespace ampelon
