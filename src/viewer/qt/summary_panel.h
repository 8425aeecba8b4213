#pragma once

#include <QDockWidget>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

class QComboBox;
class QListWidget;
class QTextBrowser;

namespace ampelon {

// The summary beside the plot, a dock the user can close: the list of the charges in the log
// (shown when there are several), the figures as text that can be selected, copied and read
// by a screen reader, and the notes pinned to the charge (shown when there are any), each of
// which can be edited (double-click) or removed (Delete, or its menu).
class SummaryPanel final : public QDockWidget {
  Q_OBJECT

 public:
  explicit SummaryPanel(QWidget* parent = nullptr);

  // One name a charge; `chosen` is shown as chosen.
  void SetCharges(const QStringList& names, int chosen);
  // Keeps the place scrolled to; text that did not change is left alone, selection and all.
  void SetText(const QString& text);
  QString Text() const { return m_shown; }
  // The notes: each one's id and text.
  void SetNotes(const std::vector<std::pair<std::int64_t, QString>>& notes);

 signals:
  void ChargeChosen(int index);
  void Closed();  // by its own close button
  void EditNoteAsked(qint64 noteId);
  void RemoveNoteAsked(qint64 noteId);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QComboBox* m_charges = nullptr;
  QTextBrowser* m_text = nullptr;
  QListWidget* m_notes = nullptr;
  QString m_shown;
};

}  // namespace ampelon
