#pragma once

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ampelon {

class JournalFile;

// Forces a journal's data onto the disk on a thread of its own: on a busy or slow disk a flush
// can take seconds, and the window must not wait for it. Writes may go on meanwhile. The syncer
// shares the file it flushes, so the journal may let go of the file without waiting: it closes
// when the flush is done.
class JournalSyncer {
 public:
  JournalSyncer() = default;
  JournalSyncer(const JournalSyncer&) = delete;
  JournalSyncer& operator=(const JournalSyncer&) = delete;
  // Waits for a flush that runs.
  ~JournalSyncer();

  // Asks for a flush of everything written so far to `files`, and then of the names in `folder`
  // (none when empty); returns at once. Requests made while one runs are served by one more
  // flush after it.
  void Request(std::vector<std::shared_ptr<JournalFile>> files, std::filesystem::path folder = {});
  // Returns when no flush runs or is asked for.
  void Wait();
  // The reason the last flush failed, or the thread could not start, once.
  std::optional<std::string> TakeFailure();

 private:
  void Run();

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::thread m_thread;                               // started by the first request
  std::vector<std::shared_ptr<JournalFile>> m_asked;  // to be flushed next
  std::filesystem::path m_askedFolder;                // alike; kept until it is flushed
  bool m_running = false;
  bool m_stopping = false;
  std::optional<std::string> m_failure;
};

}  // namespace ampelon
