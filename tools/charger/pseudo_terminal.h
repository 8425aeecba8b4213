#pragma once

#include <string>
#include <string_view>

#include "common/result.h"

namespace ampelon {

// The device end of a simulated serial line: the master side of a pseudo-terminal whose slave
// (the path a program opens as its serial port) is in raw mode, so bytes arrive unchanged.
//
// Sending never blocks. Like a device on a cable, it does not wait for a listener: while no
// program has the slave open, lines are dropped, and when the last reader closes it, what it
// left unread is thrown away, so the next program to open the port starts on a fresh line.
// A reader that stops reading fills the terminal's buffer; from then on whole lines are dropped,
// never parts of one.
class PseudoTerminal {
 public:
  enum class SendResult {
    kSent,      // the line went out (its tail may follow with the next call)
    kNoReader,  // no program has the slave open
    kBusy,      // the reader is not keeping up
  };

  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Opens the pair.
  Result<void> Open();
  const std::string& SlavePath() const { return m_slavePath; }

  SendResult Send(std::string_view line);
  void Close();

 private:
  bool ReaderPresent() const;
  void DrainInput() const;
  void DiscardUnread() const;
  bool WritePending();

  int m_master = -1;
  std::string m_slavePath;
  std::string m_pending;  // the unsent tail of a line the buffer could not take whole
  bool m_readerWasPresent = false;
};

}  // namespace ampelon
