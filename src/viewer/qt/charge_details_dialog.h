#pragma once

#include <QDialog>
#include <QStringList>

#include "history/battery_details.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace ampelon {

// File > Charge Details…: the battery of a charge (its name completed from `names` used
// before), its chemistry, rated capacity, the charge current and free notes.
class ChargeDetailsDialog final : public QDialog {
 public:
  ChargeDetailsDialog(QWidget* parent, const QString& chargeName, const BatteryDetails& details,
                      const QStringList& names);

  // What the fields say now; a name is kept without the spaces around it.
  BatteryDetails Details() const;

 private:
  QLineEdit* m_battery = nullptr;
  QComboBox* m_chemistry = nullptr;
  QSpinBox* m_rated = nullptr;
  QSpinBox* m_current = nullptr;
  QPlainTextEdit* m_notes = nullptr;
};

}  // namespace ampelon
