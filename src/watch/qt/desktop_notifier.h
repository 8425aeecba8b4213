#pragma once

#include "watch/notifier.h"

class QWidget;

namespace ampelon {

// Notices on the desktop: the notification service where there is one, and the window asks for
// attention (a flashing taskbar button) everywhere.
class DesktopNotifier final : public Notifier {
 public:
  // `window` must outlive the notifier.
  explicit DesktopNotifier(QWidget& window) : m_window(window) {}
  void Notify(const Notice& notice) override;

 private:
  QWidget& m_window;
};

}  // namespace ampelon
