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

void JournalSyncer::Request(std::vector<std::shared_ptr<JournalFile>> files,
                            std::filesystem::path folder) {
  {
    const std::lock_guard lock(m_mutex);
    m_asked = std::move(files);
    if (!folder.empty()) m_askedFolder = std::move(folder);
    if (!m_thread.joinable()) {
      // Without a thread of its own (the system's limit reached) nothing is flushed: the
      // journal hears of it as of a failed flush.
      try {
        m_thread = std::thread([this] { Run(); });
      } catch (const std::system_error& error) {
        m_asked.clear();
        m_askedFolder.clear();
        m_failure = std::string("its thread could not start (") + error.what() + ")";
      }
    }
  }
  m_changed.notify_all();
}

void JournalSyncer::Wait() {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [this] { return m_asked.empty() && m_askedFolder.empty() && !m_running; });
}

std::optional<std::string> JournalSyncer::TakeFailure() {
  const std::lock_guard lock(m_mutex);
  return std::exchange(m_failure, std::nullopt);
}

void JournalSyncer::Run() {
  std::unique_lock lock(m_mutex);
  while (true) {
    m_changed.wait(lock,
                   [this] { return !m_asked.empty() || !m_askedFolder.empty() || m_stopping; });
    if (m_asked.empty() && m_askedFolder.empty()) return;
    std::vector<std::shared_ptr<JournalFile>> files = std::exchange(m_asked, {});
    const std::filesystem::path folder = std::exchange(m_askedFolder, {});
    m_running = true;
    lock.unlock();
    std::optional<std::string> failure;
    for (const std::shared_ptr<JournalFile>& file : files) {
      if (const Result<void> synced = file->SyncData(); !synced && !failure) {
        failure = synced.error();
      }
    }
    // The files' data first: a name must not survive a power cut that its data does not.
    if (!folder.empty()) {
      if (const Result<void> synced = SyncFolder(folder); !synced && !failure) {
        failure = synced.error();
      }
    }
    files.clear();  // the last owner closes a file, off the window's thread
    lock.lock();
    m_running = false;
    if (failure) m_failure = failure;
    m_changed.notify_all();
  }
}

}  // namespace ampelon
