#pragma once

#include <deque>
#include <functional>
#include <string>

#include <QTimer>

namespace ampelon {

// Opens graph logs, one after the other, whenever no modal dialog (a message box, the file
// dialog, an input box) is open: the command that opened the dialog goes on when it closes and
// must find the readings as it left them.
class PendingFileOpener {
 public:
  explicit PendingFileOpener(std::function<void(const std::string&)> open);

  // Queues `path` (as PathFromUtf8() takes it); it is opened from the event loop once Start()
  // was called.
  void Open(const std::string& path);
  // Call once the window has loaded.
  void Start();

 private:
  void OpenNext();

  std::function<void(const std::string&)> m_open;
  std::deque<std::string> m_paths;
  QTimer m_timer;
  bool m_started = false;
};

}  // namespace ampelon
