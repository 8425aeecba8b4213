#pragma once

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
// file nor a library another program holds ever waits on the caller. A problem is told once.
class BackgroundRegistrar final : public ChargeRegistrar {
 public:
  // `library`: the database's path, or why the user has none.
  explicit BackgroundRegistrar(Result<std::filesystem::path> library);
  ~BackgroundRegistrar() override;  // Finish()es
  // Registers what is still waiting, then ends the thread; later files are not registered.
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
  std::deque<std::filesystem::path> m_waiting;
  RegistrarNews m_news;
  bool m_problemTold = false;
  std::jthread m_thread;  // last: started once the rest exists
};

}  // namespace ampelon
