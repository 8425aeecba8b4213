#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "viewer/charge_file.h"
#include "viewer/qt/viewer_window.h"

namespace ampelon {
namespace {

void WaitWhileLoading(const ViewerWindow& window) {
  while (window.Loading()) QCoreApplication::processEvents();
}

// Its name is shown as written, not taken for HTML.
TEST(ViewerWindow, ADroppedGraphLogIsOpened) {
  QTemporaryDir folder;
  const QString log = folder.filePath(QStringLiteral("<b>dropped<b>.log"));
  std::ofstream(log.toStdString(), std::ios::binary) << "1\r\n2\r\n";
  ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                       folder.filePath(QStringLiteral("state")).toStdString(), ""});
  window.show();  // the file names take the room the status bar has
  window.Follow();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(log)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &drop);
  EXPECT_TRUE(drop.isAccepted());
  QCoreApplication::processEvents();  // opened just after the drop, not inside it
  WaitWhileLoading(window);
  EXPECT_EQ(window.windowTitle().toStdString(), "<b>dropped<b>.log — Ampelon Viewer");
  const QList<QLabel*> labels = window.statusBar()->findChildren<QLabel*>();
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
    return label->text() == QStringLiteral("<b>dropped<b>.log") &&
           label->textFormat() == Qt::PlainText;
  }));
}

// A graph log is read on a thread of its own. Stopped by Escape (which otherwise clears the
// markers) or by the status bar's Cancel button, it changes nothing shown, also when its
// reading had ended before.
TEST(ViewerWindow, ACancelledOpeningLeavesTheChargeShown) {
  QTemporaryDir folder;
  const auto log = [&](const char* name, const char* text) {
    const QString path = folder.filePath(QString::fromUtf8(name));
    std::ofstream(path.toStdString(), std::ios::binary) << text;
    return std::filesystem::path(path.toStdString());
  };
  ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                       folder.filePath(QStringLiteral("state")).toStdString(), ""});
  window.OpenFile(log("shown.log", "1\r\n2\r\n"));
  WaitWhileLoading(window);
  ASSERT_EQ(window.windowTitle().toStdString(), "shown.log — Ampelon Viewer");
  const std::filesystem::path other = log("other.log", "3\r\n");
  const std::function<void()> cancels[] = {
      [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(window.centralWidget(), &escape);
      },
      [&] { window.findChild<QPushButton*>()->click(); },
  };
  for (const auto& cancel : cancels) {
    window.OpenFile(other);
    EXPECT_TRUE(window.Loading());
    QThread::msleep(50);  // read by now, most likely: its result waiting to be shown is dropped
    cancel();
    EXPECT_FALSE(window.Loading());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.windowTitle().toStdString(), "shown.log — Ampelon Viewer");
  }
}

// Rising to its peak at reading `peak`, then falling.
std::filesystem::path WriteCharge(const QTemporaryDir& folder, const char* name, int readings,
                                  bool times, int peak = 1 << 30) {
  const std::string path = folder.filePath(QString::fromUtf8(name)).toStdString();
  std::ofstream log(path, std::ios::binary);
  std::ofstream timesFile(times ? TimesFileFor(path) : std::string(), std::ios::binary);
  for (int i = 0; i < readings; ++i) {
    log << 2000 + std::min(i, peak) / 40 - std::max(0, i - peak) / 10 << "\r\n";
    if (times) timesFile << i << ".000\r\n";
  }
  return path;
}

QAction* Command(const ViewerWindow& window, const char* text) {
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->text() == QString::fromUtf8(text)) return action;
  }
  return nullptr;
}

// Runs `act` on the dialog the next command opens, once it is shown.
void OnDialog(const std::function<void(QDialog&)>& act) {
  QTimer::singleShot(0, [act] { act(*qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
}

// At 800 pixels, with both markers and a reference, the read-out is whole: the file names give
// way.
TEST(ViewerWindow, TheReadoutFitsAt800PixelsWithBothMarkersAndAReference) {
  QTemporaryDir folder;
  ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                       folder.filePath(QStringLiteral("state")).toStdString(), ""});
  window.resize(800, 600);
  window.show();
  window.OpenFile(
      WriteCharge(folder, "a charge of two hours and more, kept.log", 9000, true, 8000));
  WaitWhileLoading(window);
  Command(window, "&Time Axis")->trigger();
  const std::filesystem::path reference =
      WriteCharge(folder, "the same battery last week.log", 9000, false, 7000);
  OnDialog([&](QDialog& dialog) {
    qobject_cast<QFileDialog*>(&dialog)->selectFile(QString::fromStdString(reference.string()));
    dialog.accept();
  });
  Command(window, "&Compare with…")->trigger();
  WaitWhileLoading(window);
  QWidget* plot = window.centralWidget();
  for (const double at : {0.3, 0.6, 0.75}) {
    const QPointF point(plot->width() * at, plot->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, point, plot->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &move);
    if (at == 0.75) break;
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent click(type, point, plot->mapToGlobal(point), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QCoreApplication::sendEvent(plot, &click);
    }
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(window.width(), 800);
  const QList<QLabel*> labels = window.statusBar()->findChildren<QLabel*>();
  const auto readout = std::find_if(labels.begin(), labels.end(), [](const QLabel* label) {
    return label->text().startsWith(QStringLiteral("sample "));
  });
  ASSERT_NE(readout, labels.end());
  const QString text = (*readout)->text();
  EXPECT_TRUE(text.contains(QStringLiteral("reference")) && text.contains(QStringLiteral("A→B")) &&
              text.contains(QStringLiteral("mV/min")))
      << text.toStdString();
  EXPECT_GE((*readout)->contentsRect().width(), (*readout)->fontMetrics().horizontalAdvance(text))
      << text.toStdString();
  // Alike up to their peaks, a thousand readings apart: aligned there, the reference reads as it
  // did a thousand readings earlier.
  EXPECT_TRUE(text.contains(QStringLiteral("reference 1.3236 V, +0.0 mV"))) << text.toStdString();
  Command(window, "Align at the &Peak")->trigger();
  EXPECT_TRUE((*readout)->text().contains(QStringLiteral("reference 1.3199 V")))
      << (*readout)->text().toStdString();
}

// The check mark tells that the running charge is followed; an export offers the charge's name
// in its folder; a picture's legend names the file and its date; a reading interval gives a file
// without times a time axis, and is kept for it.
TEST(ViewerWindow, CommandsShowWhatTheyDoAndRememberIntervals) {
  QTemporaryDir folder;
  const ViewerWindow::Paths paths{folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                                  folder.filePath(QStringLiteral("state")).toStdString(), ""};
  const std::filesystem::path log = WriteCharge(folder, "charge.log", 100, false);
  QFile file(QString::fromStdString(log.string()));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
              file.setFileTime(QDateTime(QDate(2024, 5, 1), QTime(12, 0)),
                               QFileDevice::FileModificationTime));
  file.close();
  EXPECT_EQ(ViewerWindow::LegendName(file.fileName()), "charge.log, 2024-05-01");
  ViewerWindow window(paths);
  window.Follow();
  EXPECT_TRUE(Command(window, "&Follow the Running Charge")->isChecked());
  window.OpenFile(log);
  WaitWhileLoading(window);
  EXPECT_FALSE(Command(window, "&Follow the Running Charge")->isChecked());
  for (const char* command : {"&Export CSV…", "Export &PNG…"}) {
    QStringList offered;
    OnDialog([&](QDialog& dialog) {
      offered = qobject_cast<QFileDialog*>(&dialog)->selectedFiles();
      dialog.reject();
    });
    Command(window, command)->trigger();
    EXPECT_EQ(offered, QStringList{folder.filePath(QString::fromUtf8(command).contains("CSV")
                                                       ? QStringLiteral("charge.csv")
                                                       : QStringLiteral("charge.png"))})
        << command;
  }
  EXPECT_FALSE(Command(window, "&Time Axis")->isEnabled());
  OnDialog([](QDialog& dialog) {
    dialog.findChild<QDoubleSpinBox*>()->setValue(2);
    dialog.accept();
  });
  Command(window, "&Reading Interval…")->trigger();
  EXPECT_TRUE(Command(window, "&Time Axis")->isChecked());
  ViewerWindow again(paths);
  again.OpenFile(log);
  WaitWhileLoading(again);
  EXPECT_TRUE(Command(again, "&Time Axis")->isEnabled());
}

}  // namespace
}  // namespace ampelon
