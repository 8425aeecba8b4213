#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include "common/result.h"
#include "settings/qt/ini_settings_backend.h"
#include "settings/settings_store.h"
#include "viewer/charge.h"
#include "viewer/charge_analysis.h"
#include "viewer/charge_file.h"
#include "viewer/qt/names_label.h"
#include "viewer/reading_intervals.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;

namespace ampelon {

class ChargeLoader;
class JournalFollower;
class LibraryController;
class PlotWidget;
class SummaryController;

// Ampelon Viewer's window: the plot of one charge, from a graph log or followed as it is being
// recorded, with a reference charge behind it, the read-out in the status bar, and the menus
// that open, compare and export.
class ViewerWindow final : public QMainWindow {
 public:
  struct Paths {
    std::string settingsFile;             // the viewer's own settings (its last folder)
    std::filesystem::path journalFolder;  // where Ampelon keeps the running charge's journal
    std::string firstFolder;              // offered by the file dialogs until one is chosen
    std::filesystem::path libraryFile;    // the charge library; empty: none is kept
  };

  explicit ViewerWindow(const Paths& paths);
  ~ViewerWindow() override;

  // Starts reading the graph log at `path` and shows it once it is read; a file that cannot be
  // read is reported and changes nothing. Read on a thread of its own, with its progress in the
  // status bar; Escape or the Cancel button there stop it, changing nothing.
  void OpenFile(const std::filesystem::path& path);
  // Opens the `index`th charge of the file at `path` (from the battery history), with the file
  // at `reference` behind it once it is shown, where one is given.
  void OpenCharge(const std::filesystem::path& path, std::size_t index,
                  const std::optional<std::filesystem::path>& reference);
  // Shows the charge Ampelon is recording, and keeps showing it as it grows.
  void Follow();
  // A graph log (or a reference) is being read.
  bool Loading() const { return m_loader != nullptr; }
  // Everything asked of the charge library so far has been answered.
  bool LibraryIdle() const;

  // The legend's name for the file at `path`: its name and the date it was last written.
  static QString LegendName(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void ShowCharge(const Charge* charge);
  void PollJournal();
  void StopFollowing();
  void ShowFollowState();
  void UpdateCommands();
  void CompareWith();
  void RemoveReference();
  // What is read: the charge shown, or the reference behind it.
  enum class LoadFor { kCharge, kReference };
  void StartLoading(const std::filesystem::path& path, LoadFor target);
  void FinishLoading(const std::filesystem::path& path, LoadFor target,
                     Result<AnalysedChargeFile> loaded);
  void FinishHeldLoad();
  void CancelLoading();
  void ShowLoadProgress();
  void ExportCsv(bool viewOnly);
  void ExportPng();
  // File > Export Report…: the one-page PDF of the charge shown (report_export.cpp).
  void ExportReport();
  // The file dialog in the last folder: a file to open, or one to write with `suffix`.
  std::filesystem::path ChooseFile(bool forSaving, const QString& filter, const QString& suffix);
  void Report(const QString& text);
  // The reference's name in the status bar, and how it lies on the time axis.
  void AddReferenceParts(std::vector<NamesLabel::Part>& parts) const;
  // View > Reading Interval…: the seconds per reading of the files shown without times.
  void ChooseReadingIntervals();
  // Gives the charge or the reference the times of the interval kept for its file, if it has
  // none of its own.
  void SpaceByInterval(LoadFor target);
  // Tells in the status bar why a curve has no time axis of its own.
  void SayWhyNoTimes();
  void ShowNames();
  // Aligns the reference at the charge's peak while View > Align at the Peak is on.
  void UpdatePeaks();
  // An export's name offered in the dialog: the charge's with `suffix`, in its folder.
  QString SuggestedExport(const QString& suffix) const;
  // The file's name and the battery of the charge chosen, where given.
  void UpdateTitle();
  // A message in the status bar for a while, and on the standard error stream.
  void Tell(const QString& text);

  Paths m_paths;
  IniSettingsBackend m_settingsBackend;
  SettingsStore m_settings;
  std::string m_lastFolder;

  PlotWidget* m_plot = nullptr;
  SummaryController* m_summary = nullptr;
  LibraryController* m_library = nullptr;
  QLabel* m_readout = nullptr;
  NamesLabel* m_source = nullptr;
  QAction* m_follow = nullptr;
  QAction* m_timeAxis = nullptr;
  QAction* m_readingInterval = nullptr;
  QAction* m_alignAtPeak = nullptr;
  QAction* m_removeReference = nullptr;
  QAction* m_exportCsv = nullptr;
  QAction* m_exportViewCsv = nullptr;
  QAction* m_exportPng = nullptr;
  QAction* m_exportReport = nullptr;
  QProgressBar* m_loadProgress = nullptr;
  QPushButton* m_cancelButton = nullptr;

  Charge m_opened;  // the graph log shown, when not following
  Charge m_reference;
  bool m_hasReference = false;
  bool m_wantTimeAxis = false;  // the user's choice; drawn only while the times are known
  QString m_openedName;
  QString m_referenceName;
  // Times given by a reading interval to a file without its own (nothing: none given).
  ReadingIntervals m_intervals;
  std::optional<double> m_openedInterval;
  std::optional<double> m_referenceInterval;
  bool m_openedTimesOwn = false;
  bool m_referenceTimesOwn = false;
  std::unique_ptr<JournalFollower> m_follower;
  QTimer m_followTimer;
  QElapsedTimer m_sinceChange;  // since the followed charge last changed
  std::unique_ptr<ChargeLoader> m_loader;
  QTimer m_loadTimer;  // shows the progress while a file is read
  // A file read while another was being chosen, shown once the dialog has closed.
  struct HeldLoad {
    std::filesystem::path path;
    LoadFor target;
    Result<AnalysedChargeFile> loaded;
  };
  std::optional<HeldLoad> m_heldLoad;
  // Asked from the battery history: the charge to choose in the file being opened, and the
  // reference to open after it.
  std::optional<std::size_t> m_chargeToChoose;
  std::optional<std::filesystem::path> m_referenceToOpen;
  bool m_choosingFile = false;
};

}  // namespace ampelon
