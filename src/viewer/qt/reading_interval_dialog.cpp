#include "viewer/qt/reading_interval_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>

#include "viewer/reading_intervals.h"

namespace ampelon {

bool AskReadingIntervals(QWidget* parent, std::vector<IntervalChoice>& choices) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Reading Interval"));
  auto* form = new QFormLayout(&dialog);
  auto* about = new QLabel(
      QStringLiteral("A file without times is given a time axis by placing its readings this "
                     "far apart. The interval is kept for the file's name."),
      &dialog);
  about->setWordWrap(true);
  form->addRow(about);
  std::vector<QDoubleSpinBox*> boxes;
  for (const IntervalChoice& choice : choices) {
    auto* box = new QDoubleSpinBox(&dialog);
    box->setDecimals(3);
    // The lowest value stands for none.
    box->setRange(0, ReadingIntervals::kLongest);
    box->setSpecialValueText(QStringLiteral("none"));
    box->setSuffix(QStringLiteral(" s a reading"));
    box->setValue(choice.seconds.value_or(0));
    auto* name = new QLabel(choice.fileName, &dialog);
    name->setTextFormat(Qt::PlainText);
    form->addRow(name, box);
    boxes.push_back(box);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    const double seconds = boxes[i]->value();
    choices[i].seconds =
        seconds >= ReadingIntervals::kShortest ? std::optional<double>(seconds) : std::nullopt;
  }
  return true;
}

}  // namespace ampelon
