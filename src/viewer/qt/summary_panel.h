#pragma once

#include <QDockWidget>
#include <QString>
#include <QStringList>

class QComboBox;
class QTextBrowser;

namespace ampelon {

// The summary beside the plot, a dock the user can close: the list of the charges in the log
// (shown when there are several) and the figures as text that can be selected, copied and read
// by a screen reader.
class SummaryPanel final : public QDockWidget {
  Q_OBJECT

 public:
  explicit SummaryPanel(QWidget* parent = nullptr);

  // One name a charge; `chosen` is shown as chosen.
  void SetCharges(const QStringList& names, int chosen);
  // Keeps the place scrolled to; text that did not change is left alone, selection and all.
  void SetText(const QString& text);
  QString Text() const { return m_shown; }

 signals:
  void ChargeChosen(int index);
  void Closed();  // by its own close button

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QComboBox* m_charges = nullptr;
  QTextBrowser* m_text = nullptr;
  QString m_shown;
};

}  // namespace ampelon
