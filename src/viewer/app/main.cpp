#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include "analysis/charge_analyser.h"
#include "common/utf8_path.h"
#include "settings/qt/ini_settings_backend.h"
#include "ui/qt/journal_folder.h"
#include "ui/qt/native_path.h"
#include "viewer/charge_analysis.h"
#include "viewer/charge_file.h"
#include "viewer/qt/charge_image.h"
#include "viewer/qt/charge_report.h"
#include "viewer/qt/export_files.h"
#include "viewer/qt/summary_controller.h"
#include "viewer/qt/summary_text.h"
#include "viewer/qt/viewer_window.h"
#include "viewer/summary_json.h"
#include "viewer/viewer_command_line.h"

namespace {

using ampelon::ViewerCommandLine;

// The viewer's own settings, beside Ampelon's but never in them.
std::string ViewerSettingsFile() {
  return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
          QStringLiteral("/Trevanix Ampelon/viewer.ini"))
      .toStdString();
}

void PrintNotes(const std::string& notes) {
  if (!notes.empty()) std::fprintf(stderr, "ampelon-viewer: %s\n", notes.c_str());
}

// --export-report: the exit code. The last charge of the file, as the summary shows it first,
// judged with the threshold the window uses; what the charge library knows of it.
int ExportReport(const ViewerCommandLine& commandLine) {
  const std::filesystem::path file = ampelon::PathFromArgument(commandLine.file.c_str());
  const std::filesystem::path output = ampelon::PathFromArgument(commandLine.output.c_str());
  ampelon::IniSettingsBackend settings(ViewerSettingsFile());
  const double peakDrop = ampelon::SummaryController::PeakDropSetting(settings);
  const ampelon::Result<ampelon::AnalysedChargeFile> loaded =
      ampelon::LoadAnalysedChargeFile(file, peakDrop);
  if (!loaded) {
    std::fprintf(stderr, "ampelon-viewer: %s\n", loaded.error().c_str());
    return 1;
  }
  PrintNotes(loaded->file.notes);
  const QString path = ampelon::QtFromPath(file);
  ampelon::ChargeReport report;
  report.fileName = QFileInfo(path).fileName();
  report.charge = &loaded->file.charge;
  report.chargeName = ampelon::ViewerWindow::LegendName(path);
  report.timeAxis = true;
  report.charges = loaded->analysis.Analyser().AllFigures();
  report.chosen = report.charges.empty() ? 0 : report.charges.size() - 1;
  report.peakDropMillivolts = peakDrop;
  ampelon::AddLibraryHistory(report);
  if (!report.libraryProblem.empty()) {
    std::fprintf(stderr, "ampelon-viewer: the charge library cannot be read: %s\n",
                 report.libraryProblem.c_str());
  }
  const ampelon::Result<void> saved = ampelon::SaveChargeReport(output, report, QLocale());
  if (!saved) {
    std::fprintf(stderr, "ampelon-viewer: could not write %s: %s\n", commandLine.output.c_str(),
                 saved.error().c_str());
    return 1;
  }
  return 0;
}

// --export-csv and --export-png: the exit code.
int Export(const ViewerCommandLine& commandLine) {
  if (commandLine.action == ViewerCommandLine::Action::kExportReport) {
    return ExportReport(commandLine);
  }
  // Names as the system gives them, never through text: a name need not be UTF-8.
  const std::filesystem::path file = ampelon::PathFromArgument(commandLine.file.c_str());
  const std::filesystem::path output = ampelon::PathFromArgument(commandLine.output.c_str());
  const ampelon::Result<ampelon::ChargeFile> loaded = ampelon::LoadChargeFile(file);
  if (!loaded) {
    std::fprintf(stderr, "ampelon-viewer: %s\n", loaded.error().c_str());
    return 1;
  }
  PrintNotes(loaded->notes);
  const ampelon::Charge& charge = loaded->charge;
  const ampelon::Result<void> saved =
      commandLine.action == ViewerCommandLine::Action::kExportCsv
          ? ampelon::SaveCsvFile(output, charge, 0, charge.counts.size())
          : ampelon::SavePngFile(
                output, ampelon::RenderChargeImage(
                            charge, nullptr, QSize(commandLine.width, commandLine.height), false,
                            ampelon::ViewerWindow::LegendName(ampelon::QtFromPath(file))));
  if (!saved) {
    std::fprintf(stderr, "ampelon-viewer: could not write %s: %s\n", commandLine.output.c_str(),
                 saved.error().c_str());
    return 1;
  }
  return 0;
}

// --summary: the exit code. Judged with the threshold the window uses.
int PrintSummary(const ViewerCommandLine& commandLine) {
  const std::filesystem::path file = ampelon::PathFromArgument(commandLine.file.c_str());
  const ampelon::Result<ampelon::ChargeFile> loaded = ampelon::LoadChargeFile(file);
  if (!loaded) {
    std::fprintf(stderr, "ampelon-viewer: %s\n", loaded.error().c_str());
    return 1;
  }
  PrintNotes(loaded->notes);
  ampelon::IniSettingsBackend settings(ViewerSettingsFile());
  const double peakDrop = ampelon::SummaryController::PeakDropSetting(settings);
  const ampelon::Charge& charge = loaded->charge;
  ampelon::ChargeAnalyser analyser(peakDrop);
  analyser.Feed(charge.counts, charge.seconds);
  const std::string text =
      commandLine.json
          ? ampelon::SummaryJson(charge.counts.size(), !charge.seconds.empty(),
                                 analyser.AllFigures()) +
                "\n"
          : ampelon::SummaryReport(QLocale::c(), QString::fromStdString(commandLine.file),
                                   charge.counts.size(), !charge.seconds.empty(),
                                   analyser.AllFigures(), peakDrop)
                .toStdString();
  if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "ampelon-viewer: could not write the summary\n");
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Read before the application exists: --help, --version and the exports need no display.
  const ampelon::Result<ViewerCommandLine> commandLine = ampelon::ParseViewerCommandLine(
      argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>());
  if (!commandLine) {
    std::fprintf(stderr, "ampelon-viewer: %s\n%s\n", commandLine.error().c_str(),
                 ampelon::kViewerUsageHint);
    return 2;
  }
  if (commandLine->action == ViewerCommandLine::Action::kHelp) {
    std::fputs(ampelon::ViewerHelpText().c_str(), stdout);
    return 0;
  }
  if (commandLine->action == ViewerCommandLine::Action::kVersion) {
    std::printf("Ampelon Viewer %s\n", AMPELON_VERSION);
    return 0;
  }
  // Text only: no application, no display.
  if (commandLine->action == ViewerCommandLine::Action::kSummary) {
    return PrintSummary(*commandLine);
  }
  const bool exporting = commandLine->action != ViewerCommandLine::Action::kView;
#ifndef _WIN32
  // The exports draw into memory: no display is needed, nor used when there is one. (Windows
  // always has its desktop.)
  if (exporting) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif

  // Qt sees only the program's name: a file named like one of its options stays a file.
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("Ampelon Viewer"));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.trevanix.AmpelonViewer"));
  if (exporting) return Export(*commandLine);

  const QString home = QDir::toNativeSeparators(QDir::homePath() + QLatin1Char('/'));
  ampelon::ViewerWindow window(
      {ViewerSettingsFile(), ampelon::PathFromUtf8(ampelon::JournalFolder()), home.toStdString()});
  window.show();
  if (commandLine->file.empty()) {
    window.Follow();
  } else {
    window.OpenFile(ampelon::PathFromArgument(commandLine->file.c_str()));
  }
  return QApplication::exec();
}
