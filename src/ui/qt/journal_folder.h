#pragma once

#include <string>

namespace ampelon {

// The per-user folder of the recovery journal: $XDG_STATE_HOME (~/.local/state) on Linux and
// the local (not roaming) application data folder on Windows and macOS, with "Trevanix Ampelon"
// added. Ampelon writes the journal there; the viewer follows it. As PathFromUtf8() takes it:
// on Linux the environment's own bytes, UTF-8 or not.
std::string JournalFolder();

}  // namespace ampelon
