// Texts from outside the program (serial lines, file names) in the window's labels, hover texts
// and message boxes: shown as written, never taken for HTML.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>

#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_text_label.h"
#include "ui/qt/twips.h"

namespace ampelon {
namespace {

// What a QLabel (a tooltip is one) shows of `text` in `format`.
std::string Shown(const QString& text, Qt::TextFormat format = Qt::AutoText) {
  QTextDocument document;
  if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text))) {
    document.setHtml(text);
  } else {
    document.setPlainText(text);
  }
  return document.toPlainText().toStdString();
}

const char* const kOutsideTexts[] = {
    "x<b>bold</b> &amp; 1<2",
    "<p>A line</p> from the charger",
    "Could not open /tmp/<i>run</i>.log:\nNo such file or directory",
    "Serial port 2: busy\n\nThe lines received are not whole numbers, for example \"<b>7\".",
};

TEST(QtPlainTextTest, LabelsAndHoverTextsShowTextAsWritten) {
  QLabel label;
  const Twips twips(96.0);
  QtTextLabel text(label, twips);
  for (const char* outside : kOutsideTexts) {
    text.SetText(outside);
    EXPECT_EQ(Shown(label.text(), label.textFormat()), outside);
    text.SetHoverText(outside);
    EXPECT_EQ(Shown(label.toolTip()), outside);
  }
  text.SetHoverText("");
  EXPECT_TRUE(label.toolTip().isEmpty());
}

TEST(QtPlainTextTest, MessageBoxesShowTextAsWritten) {
  QtDialogs dialogs(nullptr);
  for (const char* outside : kOutsideTexts) {
    std::string shown;
    QTimer::singleShot(0, [&shown] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      shown = Shown(box->text(), box->textFormat());
      box->done(QMessageBox::No);
    });
    dialogs.AskYesNo(outside, "Ampelon");
    EXPECT_EQ(shown, outside);
  }
}

}  // namespace
}  // namespace ampelon
