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
#include "history/battery_judgement.h"
#include "history/charge_library.h"
#include "history/history_paths.h"
#include "settings/qt/ini_settings_backend.h"
#include "ui/qt/journal_folder.h"
#include "ui/qt/native_path.h"
#include "viewer/charge_analysis.h"
#include "viewer/charge_file.h"
#include "viewer/history_json.h"
#include "viewer/qt/charge_image.h"
#include "viewer/qt/charge_report.h"
#include "viewer/qt/export_files.h"
#include "viewer/qt/history_text.h"
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

int PrintText(const std::string& text) {
  if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "ampelon-viewer: could not write the history\n");
    return 1;
  }
  return 0;
}

// --history BATTERY: the exit code.
int PrintCharges(const ViewerCommandLine& commandLine,
                 const std::vector<ampelon::ChargeRecord>& charges) {
  // As the library spells it: "aa  1" asks for "AA 1".
  const std::string& battery =
      charges.empty() ? *commandLine.battery : charges.front().details.battery;
  const std::string judgement = ampelon::JudgeBatteryNamed(battery, charges);
  if (commandLine.json) {
    return PrintText(ampelon::BatteryChargesJson(battery, judgement, charges) + "\n");
  }
  const QLocale locale = QLocale::c();
  std::vector<QStringList> rows;
  for (const auto& charge : charges) rows.push_back(ampelon::ChargeRow(locale, charge));
  return PrintText((ampelon::BatteryNameText(battery) + QStringLiteral(": ")).toStdString() +
                   judgement + "\n\n" +
                   ampelon::TextTable(ampelon::ChargeColumns(), rows).toStdString());
}

// --history: the exit code. A library that is not there yet holds no battery; none is made.
int PrintHistory(const ViewerCommandLine& commandLine) {
  const ampelon::Result<std::filesystem::path> path = ampelon::ChargeLibraryPath();
  if (!path) {
    std::fprintf(stderr, "ampelon-viewer: %s\n", path.error().c_str());
    return 1;
  }
  const QLocale locale = QLocale::c();
  std::error_code error;
  if (!std::filesystem::exists(*path, error)) {
    if (commandLine.battery && !commandLine.battery->empty()) {
      std::fprintf(stderr,
                   "ampelon-viewer: no battery is named %s: the charge library %s is empty\n",
                   commandLine.battery->c_str(), ampelon::Utf8FromPath(*path).c_str());
      return 1;
    }
    if (commandLine.battery) return PrintCharges(commandLine, {});
    return PrintText(commandLine.json
                         ? ampelon::BatteriesJson({}) + "\n"
                         : ampelon::TextTable(ampelon::BatteryColumns(), {}).toStdString());
  }
  ampelon::Result<ampelon::ChargeLibrary> library = ampelon::ChargeLibrary::Open(*path);
  if (!library) {
    std::fprintf(stderr, "ampelon-viewer: the charge library cannot be used: %s\n",
                 library.error().c_str());
    return 1;
  }
  if (!library->SetAsideMessage().empty()) {
    std::fprintf(stderr, "ampelon-viewer: %s\n", library->SetAsideMessage().c_str());
  }
  if (!commandLine.battery) {
    const auto batteries = library->Batteries();
    if (!batteries) {
      std::fprintf(stderr, "ampelon-viewer: %s\n", batteries.error().c_str());
      return 1;
    }
    if (commandLine.json) return PrintText(ampelon::BatteriesJson(*batteries) + "\n");
    std::vector<QStringList> rows;
    for (const auto& battery : *batteries) rows.push_back(ampelon::BatteryRow(locale, battery));
    return PrintText(ampelon::TextTable(ampelon::BatteryColumns(), rows).toStdString());
  }
  const auto charges = library->ChargesOf(*commandLine.battery);
  if (!charges) {
    std::fprintf(stderr, "ampelon-viewer: %s\n", charges.error().c_str());
    return 1;
  }
  // No charge without a battery's name is an empty list, not a mistake.
  if (charges->empty() && !commandLine.battery->empty()) {
    std::fprintf(stderr, "ampelon-viewer: no battery is named %s in the charge library\n",
                 commandLine.battery->c_str());
    return 1;
  }
  return PrintCharges(commandLine, *charges);
}

// The charge library's file; none (and a word why) where this user has no place for it.
std::filesystem::path LibraryFile() {
  const ampelon::Result<std::filesystem::path> path = ampelon::ChargeLibraryPath();
  if (path) return *path;
  std::fprintf(stderr, "ampelon-viewer: no charge library is kept: %s\n", path.error().c_str());
  return {};
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
  if (commandLine->action == ViewerCommandLine::Action::kHistory) {
    return PrintHistory(*commandLine);
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
  ampelon::ViewerWindow window({ViewerSettingsFile(),
                                ampelon::PathFromUtf8(ampelon::JournalFolder()), home.toStdString(),
                                LibraryFile()});
  window.show();
  if (commandLine->file.empty()) {
    window.Follow();
  } else {
    window.OpenFile(ampelon::PathFromArgument(commandLine->file.c_str()));
  }
  return QApplication::exec();
}
