#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

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

}  // namespace
}  // namespace ampelon
