#pragma once

#include <string>
#include <vector>

#include "common/result.h"

namespace ampelon {

// What the program was asked to do on its command line.
struct CommandLine {
  enum class Action { kRun, kHelp, kVersion };
  Action action = Action::kRun;
  std::string file;  // the graph log to load at start-up; empty for none
};

// Reads the arguments after the program's name: `--help`, `--version` or at most one FILE, in
// the order given. "--" ends the options, so that a file whose name starts with "-" can be
// named. The failure says what is wrong, for a usage message.
Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments);

// The text `--help` prints, and the line a usage error ends with.
std::string HelpText();
inline constexpr const char* kUsageHint = "Usage: ampelon [FILE]  (ampelon --help tells more)";

}  // namespace ampelon
