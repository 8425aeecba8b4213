#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "common/result.h"
#include "history/charge_library.h"

class QObject;

namespace ampelon {

// The charge library on a thread of its own: opened there at the first task, so that neither
// opening (a migration, an integrity check) nor a write waiting on another program's lock ever
// holds up the window. Tasks run one after the other in the order given.
class LibraryWorker {
 public:
  // Reasons given in place of the library.
  static constexpr const char* kNoLibrary = "No charge library is kept.";

  // Keeps the library at `file` (empty: none). `onProblem` is told, on `receiver`'s thread and
  // once only, why the library cannot be used, or where a damaged one was set aside.
  LibraryWorker(std::filesystem::path file, QObject* receiver,
                std::function<void(const std::string&)> onProblem);
  // Finishes the tasks given (a note written is kept), then ends the thread.
  ~LibraryWorker();
  LibraryWorker(const LibraryWorker&) = delete;
  LibraryWorker& operator=(const LibraryWorker&) = delete;

  // Runs `work` with the library on the worker's thread, then `done` on the thread of `receiver`
  // (if it still exists) with whether the library could be used.
  void Run(QObject* receiver, std::function<void(ChargeLibrary&)> work,
           std::function<void(const Result<void>& usable)> done = {});
  // The library is kept (though it may turn out to be unusable).
  bool Kept() const { return !m_file.empty(); }

 private:
  void Loop();
  // The library, opened at the first call; nothing when it cannot be used.
  ChargeLibrary* Library(std::string& problem);

  std::filesystem::path m_file;
  QObject* m_receiver;
  std::function<void(const std::string&)> m_onProblem;
  std::optional<Result<ChargeLibrary>> m_library;  // worker thread only

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_tasks;
  bool m_ending = false;
  std::thread m_thread;
};

}  // namespace ampelon
