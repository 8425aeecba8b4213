#include "app/command_line.h"

namespace ampelon {

Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine commandLine;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument == "--help") {
      commandLine.action = CommandLine::Action::kHelp;
      return commandLine;
    } else if (!optionsEnded && argument == "--version") {
      commandLine.action = CommandLine::Action::kVersion;
      return commandLine;
    } else if (!optionsEnded && argument.starts_with('-')) {
      return Failure{"unknown option " + argument};
    } else if (argument.empty()) {
      return Failure{"the file name is empty"};
    } else if (!commandLine.file.empty()) {
      return Failure{"only one file can be opened, not also " + argument};
    } else {
      commandLine.file = argument;
    }
  }
  return commandLine;
}

std::string HelpText() {
  return "Usage: ampelon [FILE]\n"
         "Shows the readings of a battery charger on a serial port as a chart of volts.\n"
         "\n"
         "  FILE       a graph log to load at start-up, as File > Load Graph loads it; when\n"
         "             Ampelon already runs, its window loads the file instead\n"
         "\n"
         "Options:\n"
         "  --help     print this help and exit\n"
         "  --version  print the version and exit\n";
}

}  // namespace ampelon
