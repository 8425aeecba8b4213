#include "app/pending_file_opener.h"

#include <utility>

#include <QApplication>

namespace ampelon {

namespace {

// How often a modal dialog is looked for until it has closed.
constexpr int kRetryMilliseconds = 100;

}  // namespace

PendingFileOpener::PendingFileOpener(std::function<void(const std::string&)> open)
    : m_open(std::move(open)) {
  m_timer.setSingleShot(true);
  m_timer.setInterval(kRetryMilliseconds);
  QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { OpenNext(); });
}

void PendingFileOpener::Open(const std::string& path) {
  m_paths.push_back(path);
  if (m_started && !m_timer.isActive()) m_timer.start(0);
}

void PendingFileOpener::Start() {
  m_started = true;
  if (!m_paths.empty()) m_timer.start(0);
}

void PendingFileOpener::OpenNext() {
  if (m_paths.empty()) return;
  if (QApplication::activeModalWidget() != nullptr) {
    m_timer.start(kRetryMilliseconds);
    return;
  }
  const std::string path = m_paths.front();
  m_paths.pop_front();
  // Opening may show a message box, whose event loop may queue more paths meanwhile.
  m_open(path);
  if (!m_paths.empty() && !m_timer.isActive()) m_timer.start(0);
}

}  // namespace ampelon
