#include "viewer/qt/plot_widget.h"

#include <QPainter>

namespace ampelon {

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent) {}

PlotWidget::~PlotWidget() = default;

void PlotWidget::SetCharge(const Charge* charge) {
  m_charge = charge;
  update();
}

void PlotWidget::ChargeGrew() { update(); }

void PlotWidget::SetReference(const Charge* reference) {
  m_reference = reference;
  update();
}

void PlotWidget::SetTimeAxis(bool on) { m_timeAxis = on && TimesKnown(); }

bool PlotWidget::TimeAxis() const { return m_timeAxis; }

bool PlotWidget::TimesKnown() const { return m_charge != nullptr && !m_charge->seconds.empty(); }

void PlotWidget::ShowAll() { update(); }

void PlotWidget::SetEmptyText(const QString& text) {
  m_emptyText = text;
  update();
}

std::pair<std::size_t, std::size_t> PlotWidget::VisibleSamples() const {
  return {0, m_charge == nullptr ? 0 : m_charge->counts.size()};
}

QImage PlotWidget::RenderImage(QSize logicalSize, qreal devicePixelRatio) const {
  QImage image(logicalSize * devicePixelRatio, QImage::Format_RGB32);
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(Qt::black);
  return image;
}

void PlotWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (m_charge == nullptr) {
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
  }
}

}  // namespace ampelon
