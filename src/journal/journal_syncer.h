#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace ampelon {

class JournalFile;

// Forces a journal's data onto the disk on a thread of its own: on a busy or slow disk a flush
// can take seconds, and the window must not wait for it. Writes may go on meanwhile.
class JournalSyncer {
 public:
  // `file` must outlive the syncer and stay open while a flush may run (see Wait()).
  explicit JournalSyncer(JournalFile& file) : m_file(file) {}
  JournalSyncer(const JournalSyncer&) = delete;
  JournalSyncer& operator=(const JournalSyncer&) = delete;
  ~JournalSyncer();

  // Asks for a flush of everything written so far; returns at once. Requests made while one
  // runs are served by one more flush after it.
  void Request();
  // Returns when no flush runs or is asked for: call before closing or replacing the file.
  void Wait();
  // The reason the last flush failed, once.
  std::optional<std::string> TakeFailure();

 private:
  void Run();

  JournalFile& m_file;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::thread m_thread;  // started by the first request
  bool m_requested = false;
  bool m_running = false;
  bool m_stopping = false;
  std::optional<std::string> m_failure;
};

}  // namespace ampelon
