#include "journal/journal_syncer.h"

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

void JournalSyncer::Request() {
  {
    const std::lock_guard lock(m_mutex);
    m_requested = true;
    if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
  }
  m_changed.notify_all();
}

void JournalSyncer::Wait() {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [this] { return !m_requested && !m_running; });
}

std::optional<std::string> JournalSyncer::TakeFailure() {
  const std::lock_guard lock(m_mutex);
  return std::exchange(m_failure, std::nullopt);
}

void JournalSyncer::Run() {
  std::unique_lock lock(m_mutex);
  while (true) {
    m_changed.wait(lock, [this] { return m_requested || m_stopping; });
    if (!m_requested) return;
    m_requested = false;
    m_running = true;
    lock.unlock();
    const Result<void> synced = m_file.SyncData();
    lock.lock();
    m_running = false;
    if (!synced) m_failure = synced.error();
    m_changed.notify_all();
  }
}

}  // namespace ampelon
