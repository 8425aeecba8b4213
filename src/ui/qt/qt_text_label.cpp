#include "ui/qt/qt_text_label.h"

#include <QLabel>
#include <QPalette>

namespace ampelon {

void QtTextLabel::SetText(std::string_view text) {
  // Texts hold device and file names, which a label would take for HTML if they looked like it.
  m_label.setTextFormat(Qt::PlainText);
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
  // A tooltip has no plain-text mode: one that looks like HTML is shown as HTML, and hover texts
  // hold lines from the serial port. So it is always HTML, with the text escaped; "pre" keeps
  // its lines and spaces as a plain tooltip would.
  const QString plain = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  m_label.setToolTip(plain.isEmpty() ? QString()
                                     : QStringLiteral("<p style=\"white-space:pre\">") +
                                           plain.toHtmlEscaped() + QStringLiteral("</p>"));
}

}  // namespace ampelon
