#include "viewer/qt/summary_panel.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ampelon {

SummaryPanel::SummaryPanel(QWidget* parent) : QDockWidget(QStringLiteral("Summary"), parent) {
  setObjectName(QStringLiteral("summary"));
  auto* content = new QWidget(this);
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(4, 4, 4, 4);
  m_charges = new QComboBox(content);
  m_charges->setAccessibleName(QStringLiteral("Charge in the log"));
  m_charges->hide();
  m_text = new QTextBrowser(content);
  m_text->setAccessibleName(QStringLiteral("Summary of the charge"));
  m_text->setOpenLinks(false);
  m_text->setLineWrapMode(QTextEdit::WidgetWidth);
  // Selectable and copyable by mouse and keyboard, as a screen reader's caret needs.
  m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // Wide enough for most lines of figures, and narrow enough to leave the plot room in a small
  // window; longer lines wrap.
  m_text->setMinimumWidth(
      m_text->fontMetrics().horizontalAdvance(QStringLiteral("Slope in the middle: +0.41 mV/min")) +
      2 * m_text->frameWidth() + 12);
  m_charges->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_charges->setMinimumContentsLength(16);
  layout->addWidget(m_charges);
  layout->addWidget(m_text, 1);
  m_notes = new QListWidget(content);
  m_notes->setAccessibleName(QStringLiteral("Notes pinned to the charge"));
  m_notes->setToolTip(QStringLiteral("Double-click a note to edit it; Delete removes it."));
  m_notes->setContextMenuPolicy(Qt::CustomContextMenu);
  m_notes->setMaximumHeight(m_notes->fontMetrics().lineSpacing() * 6);
  m_notes->hide();
  layout->addWidget(m_notes);
  setWidget(content);
  const auto noteId = [](const QListWidgetItem* item) {
    return item->data(Qt::UserRole).toLongLong();
  };
  connect(m_notes, &QListWidget::itemActivated, this,
          [this, noteId](QListWidgetItem* item) { emit EditNoteAsked(noteId(item)); });
  connect(m_notes, &QListWidget::customContextMenuRequested, this, [this, noteId](QPoint at) {
    const QListWidgetItem* item = m_notes->itemAt(at);
    if (item == nullptr) return;
    const qint64 id = noteId(item);
    QMenu menu(this);
    menu.addAction(QStringLiteral("&Edit Note…"), this, [this, id] { emit EditNoteAsked(id); });
    menu.addAction(QStringLiteral("&Remove Note"), this, [this, id] { emit RemoveNoteAsked(id); });
    menu.exec(m_notes->viewport()->mapToGlobal(at));
  });
  auto* remove = new QShortcut(QKeySequence::Delete, m_notes, nullptr, nullptr, Qt::WidgetShortcut);
  connect(remove, &QShortcut::activated, this, [this, noteId] {
    if (const QListWidgetItem* item = m_notes->currentItem()) emit RemoveNoteAsked(noteId(item));
  });
  connect(m_charges, &QComboBox::currentIndexChanged, this, &SummaryPanel::ChargeChosen);
}

void SummaryPanel::SetCharges(const QStringList& names, int chosen) {
  const QSignalBlocker blocker(m_charges);
  QStringList shown;
  for (int i = 0; i < m_charges->count(); ++i) shown << m_charges->itemText(i);
  if (shown != names) {
    m_charges->clear();
    m_charges->addItems(names);
  }
  m_charges->setCurrentIndex(chosen);
  m_charges->setVisible(names.size() > 1);
}

void SummaryPanel::SetText(const QString& text) {
  if (text == m_shown) return;
  m_shown = text;
  const int scrolled = m_text->verticalScrollBar()->value();
  m_text->setPlainText(text);
  m_text->verticalScrollBar()->setValue(scrolled);
}

void SummaryPanel::SetNotes(const std::vector<std::pair<std::int64_t, QString>>& notes) {
  m_notes->clear();
  for (const auto& [id, text] : notes) {
    auto* item = new QListWidgetItem(text, m_notes);
    item->setData(Qt::UserRole, static_cast<qlonglong>(id));
  }
  m_notes->setVisible(!notes.empty());
}

void SummaryPanel::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  if (event->isAccepted()) emit Closed();
}

}  // namespace ampelon
