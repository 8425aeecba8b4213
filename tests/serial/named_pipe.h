#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace ampelon::testing {

// A named pipe (FIFO) at `path`. Opening it for reading waits for a writer; so that code that
// does so makes its test fail instead of hang, a guard opens and closes the writing end once
// `patience` has passed. The pipe is removed at the end.
class NamedPipe {
 public:
  explicit NamedPipe(std::string path,
                     std::chrono::milliseconds patience = std::chrono::seconds(2));
  ~NamedPipe();

  NamedPipe(const NamedPipe&) = delete;
  NamedPipe& operator=(const NamedPipe&) = delete;

  bool IsValid() const { return m_valid; }
  const std::string& Path() const { return m_path; }
  // True once the guard had to release someone stuck opening the pipe.
  bool GuardReleasedAReader() const { return m_released; }

 private:
  std::string m_path;
  bool m_valid = false;
  std::atomic<bool> m_released = false;
  std::jthread m_guard;
};

}  // namespace ampelon::testing
