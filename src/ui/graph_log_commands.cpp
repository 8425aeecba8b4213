#include "ui/graph_log_commands.h"

#include <memory>
#include <utility>

#include "chart/chart.h"
#include "common/dialogs.h"
#include "common/number_text.h"
#include "measurement/byte_source.h"
#include "measurement/graph_log_parser.h"
#include "measurement/graph_log_reader.h"
#include "measurement/graph_log_writer.h"
#include "measurement/sample_store.h"
#include "measurement/times_file.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "ui/file_dialog.h"
#include "ui/graph_file_access.h"

namespace ampelon {
namespace {

std::string LoadReport(const GraphLogParser& parser, bool readToEnd, const std::string& name) {
  std::string report;
  if (parser.Full() && (parser.LinesLeftOut() > 0 || !readToEnd)) {
    report += "The store holds " + NumberText(SampleStore::kSampleCapacity) +
              " readings: only the first " + NumberText(SampleStore::kSampleCapacity) + " of " +
              name + " were loaded. ";
    report += readToEnd ? NumberText(parser.LinesLeftOut()) + " more lines were left out."
                        : "The rest of the file (more than " + NumberText(parser.LinesLeftOut()) +
                              " lines) was left out without being read.";
  }
  if (parser.SkippedLines() > 0) {
    if (!report.empty()) report += "\n\n";
    report += NumberText(parser.SkippedLines()) +
              (parser.SkippedLines() == 1 ? " line was" : " lines were") +
              " skipped because the value lies outside -32768..32767 (the first at line " +
              NumberText(parser.FirstSkippedLine()) + ").";
  }
  return report;
}

}  // namespace

GraphLogCommands::GraphLogCommands(const Context& context) : m_context(context) {}

void GraphLogCommands::ReadLastPath(const std::string& defaultFolder) {
  m_lastPath = m_context.settings.ReadSetting(settings::kLastPath, defaultFolder);
}

std::optional<std::string> GraphLogCommands::ChooseGraphFile() {
  std::string name = m_context.fileDialog.ChooseFile(m_lastPath);
  if (name.empty()) return std::nullopt;
  RememberFolderOf(name);
  return name;
}

void GraphLogCommands::RememberFolderOf(const std::string& name) {
  const auto separator = name.rfind(m_context.folderSeparator);
  m_lastPath = separator == std::string::npos ? std::string() : name.substr(0, separator + 1);
  m_context.settings.WriteSetting(settings::kLastPath, m_lastPath);
}

std::optional<std::string> GraphLogCommands::SaveGraph() {
  const auto name = ChooseGraphFile();
  if (!name) return std::nullopt;
  // The file dialog does not ask, so that the question comes once, from here. A new log whose
  // times file is there already shares it with another log (run.txt beside run.log): replacing
  // those times silently would give that charge this one's.
  const std::string timesName = TimesFileFor(*name);
  std::string existing;
  if (m_context.files.FileExists(*name)) {
    existing = *name;
  } else if (timesName != *name && m_context.files.FileExists(timesName)) {
    existing = timesName;
  }
  if (!existing.empty() &&
      !m_context.dialogs.AskYesNo(existing + " already exists. Replace it?", m_context.title)) {
    return std::nullopt;
  }
  const Result<void> saved =
      m_context.files.WriteWhole(*name, FormatGraphLog(m_context.store.Samples()));
  if (!saved) {
    m_context.dialogs.MessageBox("Could not save " + *name + ":\n" + saved.error(),
                                 m_context.title);
    return std::nullopt;
  }
  // The readings are in the log whatever becomes of their times.
  SaveTimes(*name);
  return name;
}

void GraphLogCommands::SaveTimes(const std::string& logName) {
  const std::string timesName = TimesFileFor(logName);
  const Result<void> written =
      timesName == logName
          ? Result<void>(Failure{"the graph log's own name ends in .times"})
          : m_context.files.WriteWhole(timesName, FormatTimes(m_context.store.Times()));
  if (written) return;
  std::string message = logName + " was saved, but the readings' times could not be written to " +
                        timesName + ":\n" + written.error();
  if (timesName != logName && m_context.files.FileExists(timesName)) {
    message += "\n\nThe times file there is an earlier save's and does not belong to this log.";
  }
  m_context.dialogs.MessageBox(message, m_context.title);
}

std::optional<std::vector<double>> GraphLogCommands::LoadTimes(const std::string& logName,
                                                               std::size_t readings,
                                                               std::string& note) {
  const std::string timesName = TimesFileFor(logName);
  if (timesName == logName || !m_context.files.FileExists(timesName)) return std::nullopt;
  const Result<std::unique_ptr<ByteSource>> opened = m_context.files.OpenForReading(timesName);
  Result<std::vector<double>> times =
      opened ? ReadTimes(**opened, readings) : Result<std::vector<double>>(Failure{opened.error()});
  if (!times) {
    note = "The times in " + timesName + " could not be read: " + times.error() +
           "\nThe readings were loaded without times.";
    return std::nullopt;
  }
  return std::move(*times);
}

bool GraphLogCommands::LoadGraph() {
  const auto name = ChooseGraphFile();
  return name && LoadGraphFile(*name);
}

bool GraphLogCommands::OpenGraphFile(const std::string& name) {
  if (!LoadGraphFile(name)) return false;
  RememberFolderOf(name);
  return true;
}

bool GraphLogCommands::LoadGraphFile(const std::string& name) {
  // The file is read completely before the store is touched, so that a file that cannot be
  // read leaves the readings, the clock and the chart as they were.
  const Result<std::unique_ptr<ByteSource>> opened = m_context.files.OpenForReading(name);
  if (!opened) {
    m_context.dialogs.MessageBox("Could not open " + name + ":\n" + opened.error(),
                                 m_context.title);
    return false;
  }
  GraphLogParser parser(SampleStore::kSampleCapacity);
  const Result<GraphLogReadOutcome> outcome = ReadGraphLog(*opened.value(), parser);
  std::string problem;
  if (!outcome) {
    problem = "Could not read " + name + ":\n" + outcome.error();
  } else if (parser.GetFailure() != GraphLogParser::Failure::kNone) {
    problem = name + " is not a graph log: " + parser.FailureReason();
  }
  if (!problem.empty()) {
    m_context.dialogs.MessageBox(problem + "\nNothing was loaded.", m_context.title);
    return false;
  }

  std::string timesNote;
  const std::vector<std::int16_t>& readings = parser.Readings();
  const std::vector<double> times =
      LoadTimes(name, readings.size(), timesNote).value_or(std::vector<double>());

  if (m_context.beforeReplacingReadings) m_context.beforeReplacingReadings();
  m_context.chart.DrawGrid();
  m_context.store.ClearSamples();
  for (std::size_t i = 0; i < readings.size(); ++i) {
    m_context.store.AppendSample(readings[i], i < times.size() ? times[i] : SampleStore::kNoTime);
  }
  if (m_context.afterReplacingReadings) m_context.afterReplacingReadings();
  std::string report = LoadReport(parser, outcome->readToEnd, name);
  if (!timesNote.empty()) report += (report.empty() ? "" : "\n\n") + timesNote;
  if (!report.empty()) m_context.dialogs.MessageBox(report, m_context.title);
  return true;
}

}  // namespace ampelon
