#include "viewer/viewer_command_line.h"

#include <charconv>

namespace ampelon {
namespace {

bool ParseSide(std::string_view text, int& side) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), side);
  return error == std::errc() && end == text.data() + text.size() && side >= 1 &&
         side <= kLargestImageSide;
}

// "1920x1080" into width and height.
bool ParseSize(const std::string& text, ViewerCommandLine& commandLine) {
  const auto cross = text.find('x');
  return cross != std::string::npos &&
         ParseSide(std::string_view(text).substr(0, cross), commandLine.width) &&
         ParseSide(std::string_view(text).substr(cross + 1), commandLine.height);
}

}  // namespace

Result<ViewerCommandLine> ParseViewerCommandLine(const std::vector<std::string>& arguments) {
  ViewerCommandLine commandLine;
  bool optionsEnded = false;
  bool follow = false;
  bool sizeGiven = false;
  bool fileGiven = false;  // a file or battery named, maybe ""
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool takesValue = argument == "--export-csv" || argument == "--export-png" ||
                            argument == "--export-report" || argument == "--size";
    if (!optionsEnded && takesValue && i + 1 == arguments.size()) {
      return Failure{argument + " needs a value"};
    }
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument == "--help") {
      commandLine.action = ViewerCommandLine::Action::kHelp;
      return commandLine;
    } else if (!optionsEnded && argument == "--version") {
      commandLine.action = ViewerCommandLine::Action::kVersion;
      return commandLine;
    } else if (!optionsEnded && argument == "--follow") {
      follow = true;
    } else if (!optionsEnded && (argument == "--summary" || argument == "--history")) {
      if (commandLine.action != ViewerCommandLine::Action::kView) {
        return Failure{argument + " goes without an export"};
      }
      commandLine.action = argument == "--summary" ? ViewerCommandLine::Action::kSummary
                                                   : ViewerCommandLine::Action::kHistory;
    } else if (!optionsEnded && argument == "--json") {
      commandLine.json = true;
    } else if (!optionsEnded && (argument == "--export-csv" || argument == "--export-png" ||
                                 argument == "--export-report")) {
      if (commandLine.action == ViewerCommandLine::Action::kSummary ||
          commandLine.action == ViewerCommandLine::Action::kHistory) {
        return Failure{std::string(commandLine.action == ViewerCommandLine::Action::kSummary
                                       ? "--summary"
                                       : "--history") +
                       " goes without an export"};
      }
      if (commandLine.action != ViewerCommandLine::Action::kView) {
        return Failure{"only one export can be made at a time"};
      }
      commandLine.action = argument == "--export-csv"   ? ViewerCommandLine::Action::kExportCsv
                           : argument == "--export-png" ? ViewerCommandLine::Action::kExportPng
                                                        : ViewerCommandLine::Action::kExportReport;
      commandLine.output = arguments[++i];
      if (commandLine.output.empty()) return Failure{"the output file name is empty"};
    } else if (!optionsEnded && argument == "--size") {
      if (!ParseSize(arguments[++i], commandLine)) {
        return Failure{"--size wants WIDTHxHEIGHT in pixels, each 1 to " +
                       std::to_string(kLargestImageSide) + ", not " + arguments[i]};
      }
      sizeGiven = true;
    } else if (!optionsEnded && argument.starts_with('-')) {
      return Failure{"unknown option " + argument};
    } else if (fileGiven && commandLine.action == ViewerCommandLine::Action::kHistory) {
      return Failure{"only one battery can be named, not also \"" + argument + "\""};
    } else if (fileGiven) {
      return Failure{argument.empty() ? "the file name is empty"
                                      : "only one file can be opened, not also " + argument};
    } else {
      commandLine.file = argument;
      fileGiven = true;
    }
  }
  if (commandLine.action == ViewerCommandLine::Action::kHistory) {
    // What would be a file is the battery's name.
    if (follow || sizeGiven) return Failure{"--history goes alone, or with --json and a battery"};
    if (fileGiven) commandLine.battery = std::move(commandLine.file);
    commandLine.file.clear();
    return commandLine;
  }
  // Only a battery can be without a name.
  if (fileGiven && commandLine.file.empty()) return Failure{"the file name is empty"};
  const bool exporting = commandLine.action != ViewerCommandLine::Action::kView;
  const bool summary = commandLine.action == ViewerCommandLine::Action::kSummary;
  if (exporting && commandLine.file.empty()) {
    return Failure{summary ? "--summary needs a graph log" : "the export needs a graph log"};
  }
  if (commandLine.json && !summary) return Failure{"--json goes with --summary or --history"};
  if (sizeGiven && commandLine.action != ViewerCommandLine::Action::kExportPng) {
    return Failure{"--size goes with --export-png"};
  }
  if (follow && (exporting || !commandLine.file.empty())) {
    return Failure{"--follow shows the running charge, not a file"};
  }
  return commandLine;
}

std::string ViewerHelpText() {
  return "Usage: ampelon-viewer [FILE | --follow]\n"
         "       ampelon-viewer --export-csv OUT.csv FILE\n"
         "       ampelon-viewer --export-png OUT.png [--size WxH] FILE\n"
         "       ampelon-viewer --export-report OUT.pdf FILE\n"
         "       ampelon-viewer --summary [--json] FILE\n"
         "       ampelon-viewer --history [--json] [BATTERY]\n"
         "Reads a charge recorded by Ampelon: zoom, values under the pointer, markers, a\n"
         "reference charge, how each charge went (its peak, and whether it passed it), CSV and\n"
         "PNG export, a one-page report.\n"
         "\n"
         "  FILE                 a graph log to show; a .times file of the same name beside it\n"
         "                       gives the readings' times\n"
         "  --follow             follow the charge Ampelon is recording (also with no FILE)\n"
         "  --export-csv OUT     write FILE as CSV (sample,seconds,count,volts) and exit\n"
         "  --export-png OUT     draw FILE into a PNG picture and exit; no display is needed\n"
         "  --size WxH           the picture's size in pixels (default 1280x720)\n"
         "  --export-report OUT  write a one-page PDF report of FILE's charge (A4, or Letter\n"
         "                       where the locale measures in US units) and exit\n"
         "  --summary            print how each charge in FILE went and exit\n"
         "  --json               ... as one JSON object (volts, seconds, millivolts; null where\n"
         "                       not known)\n"
         "  --history            print the batteries in the charge library, or with BATTERY\n"
         "                       that battery's charges (\"\": the charges of no named\n"
         "                       battery), and exit (--json: as JSON)\n"
         "  --help               print this help and exit\n"
         "  --version            print the version and exit\n"
         "\n"
         "The exports, --summary and --history exit with status 0 when done, 1 with the\n"
         "reason otherwise.\n";
}

}  // namespace ampelon
