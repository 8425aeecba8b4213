#include "pseudo_terminal.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace ampelon::testing {

PseudoTerminal::PseudoTerminal() {
  int master = -1;
  int slave = -1;
  termios raw{};
  cfmakeraw(&raw);
  if (openpty(&master, &slave, nullptr, &raw, nullptr) != 0) return;
  const char* name = ttyname(slave);
  if (name != nullptr) m_slavePath = name;
  // Nobody keeps the slave open but the program under test, as with a real device node.
  ::close(slave);
  // Not inherited by programs the test starts, which would keep the device from hanging up.
  if (m_slavePath.empty() || fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0 ||
      fcntl(master, F_SETFD, FD_CLOEXEC) != 0) {
    ::close(master);
    return;
  }
  m_master = master;
}

PseudoTerminal::~PseudoTerminal() { CloseMaster(); }

std::size_t PseudoTerminal::WriteSome(std::string_view bytes) {
  if (m_master < 0 || bytes.empty()) return 0;
  const ssize_t written = ::write(m_master, bytes.data(), bytes.size());
  return written > 0 ? static_cast<std::size_t>(written) : 0;
}

void PseudoTerminal::CloseMaster() {
  if (m_master >= 0) ::close(m_master);
  m_master = -1;
}

}  // namespace ampelon::testing
