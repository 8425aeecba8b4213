#include "viewer/qt/library_worker.h"

#include <utility>

#include <QMetaObject>
#include <QObject>
#include <QPointer>

namespace ampelon {

LibraryWorker::LibraryWorker(std::filesystem::path file, QObject* receiver,
                             std::function<void(const std::string&)> onProblem)
    : m_file(std::move(file)), m_receiver(receiver), m_onProblem(std::move(onProblem)) {
  m_thread = std::thread([this] { Loop(); });
}

LibraryWorker::~LibraryWorker() {
  {
    const std::lock_guard lock(m_mutex);
    m_ending = true;
  }
  m_wake.notify_one();
  m_thread.join();
}

void LibraryWorker::Run(QObject* receiver, std::function<void(ChargeLibrary&)> work,
                        std::function<void(const Result<void>& usable)> done) {
  // QPointer: a window closed meanwhile is not called back.
  auto task = [this, target = QPointer<QObject>(receiver), work = std::move(work),
               done = std::move(done)] {
    std::string problem;
    ChargeLibrary* library = Library(problem);
    if (library != nullptr) work(*library);
    if (!done) return;
    const Result<void> usable = library != nullptr ? Result<void>() : Failure{problem};
    QMetaObject::invokeMethod(
        m_receiver,
        [target, done, usable] {
          if (target) done(usable);
        },
        Qt::QueuedConnection);
  };
  {
    const std::lock_guard lock(m_mutex);
    m_tasks.push_back(std::move(task));
  }
  m_wake.notify_one();
}

void LibraryWorker::Loop() {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock lock(m_mutex);
      m_wake.wait(lock, [this] { return m_ending || !m_tasks.empty(); });
      if (m_tasks.empty()) return;
      task = std::move(m_tasks.front());
      m_tasks.pop_front();
    }
    task();
  }
}

ChargeLibrary* LibraryWorker::Library(std::string& problem) {
  if (m_file.empty()) {
    problem = kNoLibrary;
    return nullptr;
  }
  if (!m_library) {
    m_library.emplace(ChargeLibrary::Open(m_file));
    // Told once: a library that cannot be opened is not tried again until the next start.
    const std::string told = *m_library ? (*m_library)->SetAsideMessage()
                                        : m_library->error() + " The viewer goes on without it.";
    if (!told.empty()) {
      QMetaObject::invokeMethod(
          m_receiver, [onProblem = m_onProblem, told] { onProblem(told); }, Qt::QueuedConnection);
    }
  }
  if (!*m_library) {
    problem = m_library->error();
    return nullptr;
  }
  return &m_library->value();
}

}  // namespace ampelon
