#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

#include "common/result.h"
#include "history/charge_library.h"
#include "ui/charge_registrar.h"

namespace ampelon {

// Registers graph logs in the charge library on a thread of its own: each file is read, hashed
// and analysed there, and the library opened there at the first one, so that neither a large
// file nor a library another program holds ever waits on the caller. A problem is told once. A
// file that could not be registered (the library held by another program for longer than its
// busy timeout, a disk full for a while) is tried again `retryAfter` later, a few times.
class BackgroundRegistrar final : public ChargeRegistrar {
 public:
  static constexpr int kTries = 10;

  // `library`: the database's path, or why the user has none.
  explicit BackgroundRegistrar(Result<std::filesystem::path> library,
                               std::chrono::milliseconds retryAfter = std::chrono::seconds(30));
  ~BackgroundRegistrar() override;  // Finish()es
  // Registers what is still waiting, then ends the thread; later files, and files waiting to be
  // tried again, are not registered.
  void Finish();
  BackgroundRegistrar(const BackgroundRegistrar&) = delete;
  BackgroundRegistrar& operator=(const BackgroundRegistrar&) = delete;

  void Register(const std::filesystem::path& graphLog) override;
  RegistrarNews TakeNews() override;

 private:
  void Run(std::stop_token stop);
  Result<void> RegisterFile(const std::filesystem::path& graphLog);
  void Tell(std::string problem, std::string setAside);

  Result<std::filesystem::path> m_libraryPath;
  std::optional<ChargeLibrary> m_library;  // the thread's own

  std::mutex m_mutex;
  std::condition_variable_any m_wake;
  struct Waiting {
    std::filesystem::path graphLog;
    int tries = 0;  // made so far
  };
  // The next file, once one waits (empty: asked to stop with none waiting).
  std::optional<Waiting> NextFile(const std::stop_token& stop);

  std::chrono::milliseconds m_retryAfter;
  std::deque<Waiting> m_waiting;
  std::deque<Waiting> m_failed;  // tried again once m_retryAfter has passed
  RegistrarNews m_news;
  bool m_problemTold = false;
  std::jthread m_thread;  // last: started once the rest exists
};

}  // namespace ampelon
