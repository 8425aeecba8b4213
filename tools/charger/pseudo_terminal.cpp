#include "charger/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ampelon {
namespace {

std::string Reason(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

PseudoTerminal::~PseudoTerminal() { Close(); }

Result<void> PseudoTerminal::Open() {
  Close();
  m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (m_master < 0) return Failure{Reason("cannot open a pseudo-terminal")};
  char path[256];
  if (::fcntl(m_master, F_SETFD, FD_CLOEXEC) != 0 ||
      ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0 ||
      ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
      ::ptsname_r(m_master, path, sizeof path) != 0) {
    Failure failure{Reason("cannot set up the pseudo-terminal")};
    Close();
    return failure;
  }
  m_slavePath = path;
  // Raw mode is kept by the terminal between opens. Opening and closing the slave once also
  // makes the master report a hang-up from now on whenever no program has the slave open.
  const int slave = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  termios settings{};
  const bool raw = slave >= 0 && ::tcgetattr(slave, &settings) == 0;
  if (raw) {
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    ::cfsetspeed(&settings, B19200);
  }
  if (!raw || ::tcsetattr(slave, TCSANOW, &settings) != 0) {
    Failure failure{Reason("cannot set raw mode on the pseudo-terminal")};
    if (slave >= 0) ::close(slave);
    Close();
    return failure;
  }
  ::close(slave);
  return {};
}

PseudoTerminal::SendResult PseudoTerminal::Send(std::string_view line) {
  DrainInput();
  if (!ReaderPresent()) {
    if (m_readerWasPresent) DiscardUnread();
    m_readerWasPresent = false;
    m_pending.clear();
    return SendResult::kNoReader;
  }
  m_readerWasPresent = true;
  // A line is dropped whole while the tail of the previous one still waits.
  if (!m_pending.empty()) {
    WritePending();
    return SendResult::kBusy;
  }
  m_pending = line;
  const std::size_t before = m_pending.size();
  if (!WritePending()) return SendResult::kBusy;
  if (m_pending.size() == before && before != 0) {
    m_pending.clear();  // nothing of it went out: drop it whole
    return SendResult::kBusy;
  }
  return SendResult::kSent;
}

void PseudoTerminal::Close() {
  if (m_master >= 0) ::close(m_master);
  m_master = -1;
  m_pending.clear();
}

bool PseudoTerminal::ReaderPresent() const {
  pollfd entry{m_master, POLLOUT, 0};
  return ::poll(&entry, 1, 0) >= 0 && (entry.revents & (POLLHUP | POLLERR)) == 0;
}

void PseudoTerminal::DrainInput() const {
  // Whatever the reader writes (the device ignores commands) must not fill the buffer.
  char bytes[4096];
  for (int i = 0; i < 16 && ::read(m_master, bytes, sizeof bytes) > 0; ++i) {
  }
}

void PseudoTerminal::DiscardUnread() const {
  // Only the slave side can flush its input queue; the master's flush leaves it.
  const int slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0) return;
  ::tcflush(slave, TCIFLUSH);
  ::close(slave);
}

bool PseudoTerminal::WritePending() {
  while (!m_pending.empty()) {
    const ssize_t written = ::write(m_master, m_pending.data(), m_pending.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno == EAGAIN) return true;
    if (written <= 0) {
      m_pending.clear();
      return false;
    }
    m_pending.erase(0, static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace ampelon
