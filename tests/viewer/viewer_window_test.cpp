#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <fstream>

#include "viewer/qt/viewer_window.h"

namespace ampelon {
namespace {

TEST(ViewerWindow, ADroppedGraphLogIsOpened) {
  QTemporaryDir folder;
  const QString log = folder.filePath(QStringLiteral("dropped.log"));
  std::ofstream(log.toStdString(), std::ios::binary) << "1\r\n2\r\n";
  ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                       folder.filePath(QStringLiteral("state")).toStdString(), ""});
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
  EXPECT_EQ(window.windowTitle().toStdString(), "dropped.log — Ampelon Viewer");
}

}  // namespace
}  // namespace ampelon
