#include "ui/qt/qt_text_label.h"

#include <QLabel>
#include <QPalette>

namespace ampelon {

void QtTextLabel::SetText(std::string_view text) {
  m_label.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtTextLabel::SetTop(float topTwips) { m_label.move(m_label.x(), m_twips.ToPixels(topTwips)); }

void QtTextLabel::SetBackground(Colour colour) {
  QPalette palette = m_label.palette();
  palette.setColor(QPalette::Window, QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
  m_label.setPalette(palette);
  m_label.setAutoFillBackground(true);
}

void QtTextLabel::SetHoverText(std::string_view text) {
  m_label.setToolTip(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace ampelon
