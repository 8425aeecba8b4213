#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/result.h"

namespace ampelon {

// What the viewer was asked to do on its command line.
struct ViewerCommandLine {
  enum class Action {
    kView,          // a window showing `file`, or following the running charge when it is empty
    kExportCsv,     // no window: `file` as CSV into `output`
    kExportPng,     // no window: `file` drawn into `output`, `width` x `height` pixels
    kExportReport,  // no window: the one-page report of `file` as a PDF into `output`
    kSummary,       // no window: the figures of `file`'s charges, as JSON when `json`
    kHistory,       // no window: the charge library's batteries, or the charges of `battery`
    kHelp,
    kVersion,
  };
  Action action = Action::kView;
  std::string file;
  std::string output;
  int width = 1280;
  int height = 720;
  bool json = false;
  // --history BATTERY: none lists the batteries, "" gives the charges of no named battery.
  std::optional<std::string> battery;
};

// The largest picture --size asks for, on either side.
inline constexpr int kLargestImageSide = 16384;

// Reads the arguments after the program's name: FILE, --follow, --export-csv OUT FILE,
// --export-png OUT [--size WxH] FILE, --export-report OUT FILE, --summary [--json] FILE,
// --history [--json] [BATTERY], --help, --version. "--" ends the
// options. The failure says what is wrong, for a usage message.
Result<ViewerCommandLine> ParseViewerCommandLine(const std::vector<std::string>& arguments);

std::string ViewerHelpText();
inline constexpr const char* kViewerUsageHint =
    "Usage: ampelon-viewer [FILE | --follow]  (ampelon-viewer --help tells more)";

}  // namespace ampelon
