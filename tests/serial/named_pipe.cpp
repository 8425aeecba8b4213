#include "named_pipe.h"

#include <condition_variable>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ampelon::testing {

NamedPipe::NamedPipe(std::string path, std::chrono::milliseconds patience)
    : m_path(std::move(path)) {
  m_valid = ::mkfifo(m_path.c_str(), 0600) == 0;
  if (!m_valid) return;
  m_guard = std::jthread([this, patience](std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    if (wake.wait_for(lock, stop, patience, [] { return false; })) return;
    if (stop.stop_requested()) return;
    // Succeeds only while a reader has the pipe open or waits in open(); closing at once gives
    // that reader the end of the file.
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    m_released = true;
    ::close(fd);
  });
}

NamedPipe::~NamedPipe() {
  if (m_guard.joinable()) {
    m_guard.request_stop();
    m_guard.join();
  }
  if (m_valid) ::unlink(m_path.c_str());
}

}  // namespace ampelon::testing
