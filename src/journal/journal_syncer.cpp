#include "journal/journal_syncer.h"

#include <system_error>
#include <utility>

#include "journal/journal_file.h"

namespace ampelon {

JournalSyncer::~JournalSyncer() {
  {
    const std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_changed.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void JournalSyncer::Request(std::shared_ptr<JournalFile> file) {
  {
    const std::lock_guard lock(m_mutex);
    m_asked = std::move(file);
    if (!m_thread.joinable()) {
      // Without a thread of its own (the system's limit reached) nothing is flushed: the
      // journal hears of it as of a failed flush.
      try {
        m_thread = std::thread([this] { Run(); });
      } catch (const std::system_error& error) {
        m_asked.reset();
        m_failure = std::string("its thread could not start (") + error.what() + ")";
      }
    }
  }
  m_changed.notify_all();
}

void JournalSyncer::Wait() {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [this] { return !m_asked && !m_running; });
}

std::optional<std::string> JournalSyncer::TakeFailure() {
  const std::lock_guard lock(m_mutex);
  return std::exchange(m_failure, std::nullopt);
}

void JournalSyncer::Run() {
  std::unique_lock lock(m_mutex);
  while (true) {
    m_changed.wait(lock, [this] { return m_asked || m_stopping; });
    if (!m_asked) return;
    std::shared_ptr<JournalFile> file = std::move(m_asked);
    m_running = true;
    lock.unlock();
    const Result<void> synced = file->SyncData();
    file.reset();  // the last owner closes the file, off the window's thread
    lock.lock();
    m_running = false;
    if (!synced) m_failure = synced.error();
    m_changed.notify_all();
  }
}

}  // namespace ampelon
