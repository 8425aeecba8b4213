#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ampelon::testing {

// A pseudo-terminal pair standing in for a serial device: the program opens the slave's path,
// the test plays the device on the master side.
class PseudoTerminal {
 public:
  PseudoTerminal();
  ~PseudoTerminal();

  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool IsValid() const { return m_master >= 0; }
  const std::string& SlavePath() const { return m_slavePath; }

  // Writes as many bytes as the terminal takes without blocking; returns how many.
  std::size_t WriteSome(std::string_view bytes);
  // The device going away: the slave side hangs up.
  void CloseMaster();

 private:
  int m_master = -1;
  std::string m_slavePath;
};

}  // namespace ampelon::testing
