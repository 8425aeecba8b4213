#include "ui/main_controller.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "chart/window_geometry.h"
#include "common/dialogs.h"
#include "common/leading_number.h"
#include "common/number_text.h"
#include "common/utf8_path.h"
#include "journal/journal_recovery.h"
#include "serial/serial_control.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "ui/charge_registrar.h"

namespace ampelon {
namespace {

constexpr float kDefaultLeft = 4000.0f;
constexpr float kDefaultTop = 3000.0f;
constexpr float kDefaultWidth = 8000.0f;
constexpr float kDefaultHeight = 8000.0f;
constexpr float kDefaultRangeVolts = 0.3f;
constexpr const char* kDefaultRangeText = "0.3";
#ifdef _WIN32
constexpr char kFolderSeparator = '\\';
#else
constexpr char kFolderSeparator = '/';
#endif

// "1 reading <whose> was not saved. It is kept in <where>", or "… readings … were …".
std::string NotSavedText(std::size_t readings, const std::string& whose,
                         const std::filesystem::path& where) {
  const bool one = readings == 1;
  return std::to_string(readings) + (one ? " reading " : " readings ") + whose +
         (one ? " was not saved. It is kept in " : " were not saved. They are kept in ") +
         Utf8FromPath(where);
}

}  // namespace

MainController::MainController(Clock& clock, SerialControl& serial, SettingsStore& settings,
                               const Views& views, StartupPaths paths)
    : m_serial(serial),
      m_settings(settings),
      m_dialogs(views.dialogs),
      m_geometry(views.geometry),
      m_paths(std::move(paths)),
      m_store(clock),
      m_decoder(m_store),
      m_journal(PathFromUtf8(m_paths.journalFolder)),
      m_chart(m_store, views.canvas, views.geometry, views.labels, views.decimalPoint),
      m_status(views.portStatus),
      m_opener(settings, serial, m_status),
      m_portNumberCommand(settings, serial, m_opener, views.dialogs, kAppTitle),
      m_windowCommands(m_chart, settings, views.dialogs, kAppTitle),
      m_graphLogCommands({m_store, m_chart, settings, views.fileDialog, views.files, views.dialogs,
                          kAppTitle, kFolderSeparator, [this] { SetAsideUnsavedReadings(); },
                          [this] { FinishLoad(); }}),
      m_clock(clock) {
  if (!m_paths.journalProblem.empty()) m_journal.Disable(m_paths.journalProblem);
}

void MainController::StartWatch(const WatchServices& services) {
  m_watch.emplace(m_clock, services,
                  [this](std::string_view note) { m_status.SetWatchNote(note); });
}

void MainController::OnLoad() {
  RecoverEarlierJournal();
  if (const std::string problem = m_settings.StoreProblem(); !problem.empty()) {
    m_dialogs.MessageBox("The settings file " + problem +
                             ".\n\nSettings are neither read nor kept: Ampelon starts with its "
                             "defaults and forgets any change.",
                         kAppTitle);
  }
  m_graphLogCommands.ReadLastPath(m_paths.lastPathDefault);
  // Each value is applied before the next is read, as a resize may follow each.
  m_geometry.SetLeftTwips(ReadGeometrySetting(settings::kWindowLeft, kDefaultLeft));
  m_geometry.SetTopTwips(ReadGeometrySetting(settings::kWindowTop, kDefaultTop));
  m_geometry.SetOuterWidthTwips(ReadGeometrySetting(settings::kWindowWidth, kDefaultWidth));
  m_geometry.SetOuterHeightTwips(ReadGeometrySetting(settings::kWindowHeight, kDefaultHeight));
  m_geometry.KeepOnScreen();

  m_chart.SetWindow(VoltageWindow::AtStart(ReadRangeVolts()));
  m_chart.UpdateAxisLabels();
  m_chart.DrawGrid();
  m_opener.OpenSerialPort();
  m_opener.ScanSerialPorts();
}

float MainController::ReadGeometrySetting(const char* name, float defaultTwips) {
  const std::optional<double> number =
      LeadingNumberIfAny(m_settings.ReadSetting(name, NumberText(defaultTwips)));
  // A value that is no number ("abc", "nan") or that no window can take (1E39 becomes an
  // infinite float) falls back to the default; huge but finite ones are brought onto a screen
  // by KeepOnScreen().
  const auto value = static_cast<float>(number.value_or(defaultTwips));
  return std::isfinite(value) ? value : defaultTwips;
}

float MainController::ReadRangeVolts() {
  const auto range = static_cast<float>(
      LeadingNumber(m_settings.ReadSetting(settings::kRange, kDefaultRangeText)));
  // A height of 0 or less, or none at all, leaves the window no room to follow a reading and
  // gives seven identical axis labels.
  return std::isfinite(range) && range > 0.0f ? range : kDefaultRangeVolts;
}

void MainController::RecoverEarlierJournal() {
  if (!m_journal.Enabled()) return;
  const std::filesystem::path folder = PathFromUtf8(m_paths.journalFolder);
  // Charges set aside by an earlier run that ended before telling of them are told now.
  Result<std::vector<RecoveredJournal>> recovered = UntoldRecoveredJournals(folder);
  if (recovered) {
    const Result<std::optional<RecoveredJournal>> earlier = RecoverJournal(folder);
    if (earlier && earlier->has_value()) recovered->push_back(**earlier);
    // Writing this run's journal would overwrite the earlier one's readings.
    if (!earlier) m_journal.Disable(earlier.error());
  } else {
    m_journal.Disable(recovered.error());
  }
  if (!recovered || recovered->empty()) {
    if (!m_journal.Enabled()) return;
    MarkTold(folder, {});  // a marker may name only charges that are gone
    PruneRecovered({});
    return;
  }
  for (const RecoveredJournal& journal : *recovered) {
    if (!m_recoveryNotice.empty()) m_recoveryNotice += "\n\n";
    m_recoveryNotice +=
        NotSavedText(journal.readings, "from the charge of " + journal.chargeTime, journal.path) +
        (journal.readings == 1 ? "; File > Load Graph opens it."
                               : "; File > Load Graph opens them.");
    m_recoveredPaths.push_back(journal.path);
    RegisterCharge(journal.path);
  }
}

void MainController::PruneRecovered(const std::vector<std::filesystem::path>& told) {
  PruneRecoveredJournals(PathFromUtf8(m_paths.journalFolder), told,
                         std::filesystem::file_time_type::clock::now());
}

void MainController::SetAsideUnsavedReadings() {
  if (const std::optional<RecoveredJournal> setAside = m_journal.SetAside()) {
    m_setAsideNotice = NotSavedText(setAside->readings, "of the charge", setAside->path) + ".";
    m_setAsidePath = setAside->path;
    RegisterCharge(setAside->path);
  }
}

void MainController::FinishLoad() {
  m_journal.Rewrite(m_store.Samples(), m_store.Times());
  if (m_watch) m_watch->OnReadingsReplaced(m_store.Samples(), m_store.Times());
  // Told only now, as is anything about the load: readings that arrive while a box is open
  // follow the loaded ones, not saved.
  if (!m_setAsideNotice.empty()) {
    m_dialogs.MessageBox(std::exchange(m_setAsideNotice, {}), kAppTitle);
    // A box closed by the program's end (a log-out while it was open) told nobody.
    if (!m_unloaded) MarkTold(PathFromUtf8(m_paths.journalFolder), {m_setAsidePath});
  }
}

void MainController::ReportJournalProblem() {
  m_journalProblemReported = true;
  const std::string note = "Readings are not being kept safe: " + m_journal.Problem() + ".";
  m_status.SetNote(note);
  m_dialogs.MessageBox(note +
                           "\n\nThe readings go on arriving, but a crash or a power cut would lose "
                           "those not saved with File > Save Graph.",
                       kAppTitle);
}

void MainController::RegisterCharge(const std::filesystem::path& graphLog) {
  if (m_registrar != nullptr) m_registrar->Register(graphLog);
}

void MainController::TellLibraryNews() {
  if (m_registrar == nullptr) return;
  const RegistrarNews news = m_registrar->TakeNews();
  if (!news.problem.empty()) {
    // The library's reasons are sentences of their own; others are not.
    m_status.SetLibraryNote(news.problem.ends_with('.') ? news.problem : news.problem + ".");
  }
  if (!news.setAside.empty()) m_dialogs.MessageBox(news.setAside, kAppTitle);
}

void MainController::OnUnload() {
  // Serial events may still be handled before the program ends: the port and its events stop
  // first, so that no reading arrives after the journal is closed.
  m_unloaded = true;
  if (m_watch) m_watch->OnExit();
  m_serial.Close();
  m_journal.Close();
  m_settings.WriteSetting(settings::kWindowLeft, NumberText(m_geometry.LeftTwips()));
  m_settings.WriteSetting(settings::kWindowTop, NumberText(m_geometry.TopTwips()));
  m_settings.WriteSetting(settings::kWindowWidth, NumberText(m_geometry.OuterWidthTwips()));
  m_settings.WriteSetting(settings::kWindowHeight, NumberText(m_geometry.OuterHeightTwips()));
}

void MainController::OnResize() { m_chart.LayoutChart(); }

void MainController::OnTick() {
  if (m_unloaded) return;  // a tick would reopen a lost port
  m_journal.Sync();
  m_opener.RetryLostPort();
  if (m_watch) {
    m_watch->OnTick({m_opener.PortReady(), m_opener.RetryingLostPort(), m_opener.PortNumber(),
                     m_opener.LineSettingsText()},
                    m_decoder.Rejections());
  }
  m_chart.RefreshChart();
  // Shown here rather than in the serial event, so that no serial event waits behind a
  // message box that is half-way through decoding.
  if (!m_recoveryNotice.empty()) {
    m_dialogs.MessageBox(std::exchange(m_recoveryNotice, {}), kAppTitle);
    const std::vector<std::filesystem::path> told = std::exchange(m_recoveredPaths, {});
    // Only once the user knows where the charges just told of are, which stay whatever their
    // age; a box closed by the program's end told nobody.
    if (!m_unloaded) {
      MarkTold(PathFromUtf8(m_paths.journalFolder), told);
      PruneRecovered(told);
    }
  }
  if (!m_journal.Problem().empty() && !m_journalProblemReported) ReportJournalProblem();
  TellLibraryNews();
  if (const auto failure = m_settings.TakeWriteFailure(); failure && !m_settingsFailureReported) {
    m_settingsFailureReported = true;
    m_dialogs.MessageBox(*failure +
                             ".\n\nThe settings file was left as it was: changed settings are not "
                             "kept while this goes on.",
                         kAppTitle);
  }
  if (m_fullStoreNoticeDue) ReportFullStore();
}

void MainController::ReportFullStore() {
  m_fullStoreNoticeDue = false;
  m_fullStoreReported = true;
  if (m_watch) m_watch->OnStoreFull(m_store.SampleCount());
  m_dialogs.MessageBox("The store is full: it holds " + NumberText(m_store.SampleCount()) +
                           " readings. New readings from the charger are not recorded.\n\n"
                           "Save the graph to keep what has been collected.",
                       kAppTitle);
}

void MainController::OnSerialEvent(const SerialEvent& event) {
  if (m_unloaded) return;
  // Not full before this event: emptied by a load since the last notice, so a new fill is news
  // again, also when this very event fills it.
  if (!m_store.IsFull()) m_fullStoreReported = false;
  // Read once per event, whatever its kind: a loss still hands over the last bytes received.
  const DecodeSummary summary = m_decoder.OnSerialEvent(m_serial.ReadReceivedText());
  if (summary.stored > 0) {
    const auto stored = static_cast<std::size_t>(summary.stored);
    m_journal.Append(m_store.Samples().last(stored), m_store.Times().last(stored));
  }
  if (m_watch) {
    m_watch->OnSerialEvent(summary.stored + summary.droppedFull, m_decoder.Rejections());
    if (summary.stored > 0) m_watch->OnStoredReadings(m_store.Samples(), m_store.Times());
  }
  if (m_store.IsFull() && (summary.stored > 0 || summary.droppedFull > 0) && !m_fullStoreReported) {
    m_fullStoreNoticeDue = true;
  }
  if (event.kind == SerialEventKind::kPortLost) {
    // A line cut off by the loss must not be completed by the first bytes after a reconnect.
    m_decoder.DiscardPartialLine();
    m_opener.OnPortLost(event.reason);
    if (m_watch) m_watch->OnPortLost(event.reason);
  }
}

void MainController::OnSaveGraph() {
  if (const std::optional<std::string> saved = m_graphLogCommands.SaveGraph()) {
    m_journal.MarkSaved();
    RegisterCharge(PathFromUtf8(*saved));
  }
}

void MainController::OnLoadGraph() { m_graphLogCommands.LoadGraph(); }

void MainController::OnOpenFile(const std::string& path) { m_graphLogCommands.OpenGraphFile(path); }

void MainController::OnShiftScaleUp() { m_windowCommands.ShiftScaleUp(); }

void MainController::OnShiftScaleDown() { m_windowCommands.ShiftScaleDown(); }

void MainController::OnChangeVoltageRange() { m_windowCommands.ChangeVoltageRange(); }

void MainController::OnChangeSerialPortNumber() { m_portNumberCommand.Run(); }

}  // namespace ampelon
