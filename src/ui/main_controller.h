#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart.h"
#include "chart/voltage_window_commands.h"
#include "journal/recovery_journal.h"
#include "measurement/sample_store.h"
#include "measurement/serial_line_decoder.h"
#include "serial/port_number_command.h"
#include "serial/serial_port_opener.h"
#include "ui/graph_log_commands.h"
#include "ui/status_label.h"
#include "watch/unattended_watch.h"

namespace ampelon {

class ChargeRegistrar;
class Clock;
class Dialogs;
class FileDialog;
class GraphFileAccess;
class SerialControl;
class SettingsStore;
class TextLabel;
struct SerialEvent;

// The title of every input and message box.
inline constexpr const char* kAppTitle = "Ampelon";

// Folders worked out by the platform layer at start-up.
struct StartupPaths {
  std::string lastPathDefault;   // the first folder offered for graph logs
  std::string journalFolder{};   // where the recovery journal is kept; empty for none
  std::string journalProblem{};  // why no journal may be kept there (reported); empty if none
};

// Everything the main window does, driven by its events: load and unload, resize, the
// one-second tick, the serial control's event and the menu commands. It talks to the window
// only through interfaces.
class MainController {
 public:
  struct Views {
    ChartCanvas& canvas;
    WindowGeometry& geometry;
    ChartLabels labels;
    TextLabel& portStatus;
    Dialogs& dialogs;
    FileDialog& fileDialog;
    GraphFileAccess& files;
    char decimalPoint = '.';
  };

  // All references must outlive the controller.
  MainController(Clock& clock, SerialControl& serial, SettingsStore& settings, const Views& views,
                 StartupPaths paths);

  // Start-up, before the window is first shown: sets aside the recovery journal of an earlier
  // run that was not saved (old recovered charges are pruned once the first tick has told of
  // it, at once when there is nothing to tell), a message when the settings cannot be used at
  // all, then last
  // folder, window geometry and voltage window from the settings, axis labels, empty grid, then
  // the serial port (scanning if it fails).
  void OnLoad();
  // Shut-down: closes the serial port, then the recovery journal, and stores the window's
  // position and size. Serial events and ticks that still come are ignored.
  void OnUnload();
  // Every change of the window's size.
  void OnResize();
  // The one-second tick: brings back a lost port, puts the journal on the disk, refreshes the
  // chart and tells, once a run, that the journal stopped or a setting could not be stored.
  void OnTick();
  // The serial control's event, of whatever kind.
  void OnSerialEvent(const SerialEvent& event);
  // The menu commands.
  void OnSaveGraph();
  void OnLoadGraph();
  void OnShiftScaleUp();
  void OnShiftScaleDown();
  void OnChangeVoltageRange();
  void OnChangeSerialPortNumber();
  // A graph log named on the command line or handed over by a second copy, after OnLoad().
  void OnOpenFile(const std::string& path);
  // Watches the charge for a user away from the window from now on, through `services`.
  void StartWatch(const WatchServices& services);
  // Puts every charge saved with Save Graph or set aside from now on in the charge library
  // through `registrar`, which must outlive the controller. Before OnLoad(), so that the charges
  // it sets aside are kept too.
  void SetChargeRegistrar(ChargeRegistrar& registrar) { m_registrar = &registrar; }

  const SampleStore& Store() const { return m_store; }
  const Chart& GetChart() const { return m_chart; }
  const SerialPortOpener& Port() const { return m_opener; }
  const std::string& LastPath() const { return m_graphLogCommands.LastPath(); }
  const RecoveryJournal& Journal() const { return m_journal; }

 private:
  float ReadGeometrySetting(const char* name, float defaultTwips);
  float ReadRangeVolts();
  // Tells the user, once each time the store fills up, that new readings are not recorded.
  void ReportFullStore();
  // Sets aside the journal of an earlier run; what to tell the user about it and about charges
  // set aside before but never told of.
  void RecoverEarlierJournal();
  // Removes old recovered charges, never those just `told` of: at start-up only, never during a
  // load.
  void PruneRecovered(const std::vector<std::filesystem::path>& told);
  // Before a load replaces readings not saved: sets the journal aside.
  void SetAsideUnsavedReadings();
  // Once a load has replaced the readings, before anything about it is shown: the journal holds
  // the loaded readings and the watch judges them anew; says where earlier ones were set aside.
  void FinishLoad();
  // Tells the user, once a run, that the journal stopped.
  void ReportJournalProblem();
  // Hands a graph log saved or set aside to the charge library, when there is one.
  void RegisterCharge(const std::filesystem::path& graphLog);
  // What the library has to say: its problem in the port status's hover text, a damaged
  // library set aside in a message.
  void TellLibraryNews();

  SerialControl& m_serial;
  SettingsStore& m_settings;
  Dialogs& m_dialogs;
  WindowGeometry& m_geometry;
  StartupPaths m_paths;
  SampleStore m_store;
  SerialLineDecoder m_decoder;
  RecoveryJournal m_journal;
  Chart m_chart;
  StatusLabel m_status;
  SerialPortOpener m_opener;
  PortNumberCommand m_portNumberCommand;
  VoltageWindowCommands m_windowCommands;
  GraphLogCommands m_graphLogCommands;
  bool m_fullStoreNoticeDue = false;
  bool m_fullStoreReported = false;
  std::string m_recoveryNotice;  // shown at the first tick, when the window is up
  std::vector<std::filesystem::path> m_recoveredPaths;  // where that notice says charges are
  std::string m_setAsideNotice;          // shown once the journal holds the loaded readings
  std::filesystem::path m_setAsidePath;  // where that notice says the charge is
  bool m_journalProblemReported = false;
  bool m_settingsFailureReported = false;
  bool m_unloaded = false;
  Clock& m_clock;
  std::optional<UnattendedWatch> m_watch;
  ChargeRegistrar* m_registrar = nullptr;
};

}  // namespace ampelon
