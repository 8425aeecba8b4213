#include "watch/qt/desktop_notifier.h"

#include <QApplication>

#include "watch/qt/desktop_notice.h"

namespace ampelon {

void DesktopNotifier::Notify(const Notice& notice) {
  SendDesktopNotice(notice);
  QApplication::alert(&m_window);
}

}  // namespace ampelon
