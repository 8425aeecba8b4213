#include "viewer/qt/names_label.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include <QFontMetrics>

namespace ampelon {
namespace {

QString Joined(const std::vector<NamesLabel::Part>& parts) {
  QString text;
  for (const NamesLabel::Part& part : parts) text += part.text;
  return text;
}

}  // namespace

NamesLabel::NamesLabel(QWidget* parent) : QLabel(parent) {
  // File names are shown as text, never taken for HTML.
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // The read-out beside it comes first: this label takes what is left.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void NamesLabel::SetParts(std::vector<Part> parts) {
  m_parts = std::move(parts);
  setToolTip(FullText());
  Fit();
}

QString NamesLabel::FullText() const { return Joined(m_parts); }

void NamesLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Fit();
}

void NamesLabel::Fit() {
  const QFontMetrics metrics(font());
  std::vector<Part> parts = m_parts;
  std::vector<std::size_t> names;
  int words = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].name) {
      names.push_back(i);
    } else {
      words += metrics.horizontalAdvance(parts[i].text);
    }
  }
  // The room left for the names, shared out shortest first: a name shorter than its share
  // leaves the rest to the longer ones.
  const auto width = [&](std::size_t i) { return metrics.horizontalAdvance(parts[i].text); };
  std::sort(names.begin(), names.end(),
            [&](std::size_t a, std::size_t b) { return width(a) < width(b); });
  const int room = contentsRect().width() - 2;
  if (words + metrics.horizontalAdvance(QStringLiteral("…")) * static_cast<int>(names.size()) >
      room) {
    // Too narrow even for the words: the whole text cut, as the tooltip has it whole.
    QLabel::setText(metrics.elidedText(FullText(), Qt::ElideRight, room));
    return;
  }
  int left = room - words;
  for (std::size_t k = 0; k < names.size(); ++k) {
    const int share = left / static_cast<int>(names.size() - k);
    Part& part = parts[names[k]];
    const int full = metrics.horizontalAdvance(part.text);
    if (full > share) part.text = metrics.elidedText(part.text, Qt::ElideMiddle, share);
    left -= std::min(full, share);
  }
  QLabel::setText(Joined(parts));
}

}  // namespace ampelon
