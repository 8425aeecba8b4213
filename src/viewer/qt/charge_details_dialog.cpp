#include "viewer/qt/charge_details_dialog.h"

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace ampelon {
namespace {

// Past any cell's capacity and any hobby charger's current; 0 stands for "not given".
constexpr int kMostMilliampHours = 100000;
constexpr int kMostMilliamps = 50000;

const Chemistry kChemistries[] = {Chemistry::kUnknown, Chemistry::kNiMH, Chemistry::kNiCd,
                                  Chemistry::kOther};

QSpinBox* AmountBox(QWidget* parent, int most, const char* suffix, std::optional<int> value) {
  auto* box = new QSpinBox(parent);
  box->setRange(0, most);
  box->setSpecialValueText(QStringLiteral("not given"));
  box->setSuffix(QString::fromLatin1(suffix));
  box->setValue(value.value_or(0));
  return box;
}

std::optional<int> AmountOf(const QSpinBox* box) {
  return box->value() > 0 ? std::optional<int>(box->value()) : std::nullopt;
}

}  // namespace

ChargeDetailsDialog::ChargeDetailsDialog(QWidget* parent, const QString& chargeName,
                                         const BatteryDetails& details, const QStringList& names)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Charge Details"));
  auto* form = new QFormLayout(this);
  auto* about = new QLabel(chargeName, this);
  about->setTextFormat(Qt::PlainText);
  form->addRow(about);
  m_battery = new QLineEdit(QString::fromStdString(details.battery), this);
  m_battery->setPlaceholderText(QStringLiteral("a name of your own, such as \"AA 3\""));
  auto* completer = new QCompleter(names, m_battery);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setFilterMode(Qt::MatchContains);
  m_battery->setCompleter(completer);
  form->addRow(QStringLiteral("&Battery:"), m_battery);
  m_chemistry = new QComboBox(this);
  for (const Chemistry chemistry : kChemistries) {
    m_chemistry->addItem(chemistry == Chemistry::kUnknown
                             ? QStringLiteral("not given")
                             : QString::fromLatin1(ChemistryName(chemistry)));
    if (chemistry == details.chemistry) m_chemistry->setCurrentIndex(m_chemistry->count() - 1);
  }
  form->addRow(QStringLiteral("&Chemistry:"), m_chemistry);
  m_rated = AmountBox(this, kMostMilliampHours, " mAh", details.ratedMilliampHours);
  form->addRow(QStringLiteral("&Rated capacity:"), m_rated);
  m_current = AmountBox(this, kMostMilliamps, " mA", details.currentMilliamps);
  m_current->setToolTip(
      QStringLiteral("With the charge current the summary estimates the charge put in."));
  form->addRow(QStringLiteral("Charge c&urrent:"), m_current);
  m_notes = new QPlainTextEdit(QString::fromStdString(details.notes), this);
  m_notes->setTabChangesFocus(true);
  m_notes->setMaximumHeight(m_notes->fontMetrics().lineSpacing() * 5);
  form->addRow(QStringLiteral("&Notes:"), m_notes);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
  // Room for a name and a line of notes without the dialog hugging its labels.
  setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 32);
}

BatteryDetails ChargeDetailsDialog::Details() const {
  BatteryDetails details;
  details.battery = m_battery->text().trimmed().toStdString();
  details.chemistry = kChemistries[std::max(0, m_chemistry->currentIndex())];
  details.ratedMilliampHours = AmountOf(m_rated);
  details.currentMilliamps = AmountOf(m_current);
  details.notes = m_notes->toPlainText().trimmed().toStdString();
  return details;
}

}  // namespace ampelon
