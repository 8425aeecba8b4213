#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include "settings/qt/ini_settings_backend.h"
#include "settings/settings_store.h"
#include "viewer/charge.h"

class QAction;
class QLabel;

namespace ampelon {

class JournalFollower;
class PlotWidget;

// Ampelon Viewer's window: the plot of one charge, from a graph log or followed as it is being
// recorded, with a reference charge behind it, the read-out in the status bar, and the menus
// that open, compare and export.
class ViewerWindow final : public QMainWindow {
 public:
  struct Paths {
    std::string settingsFile;             // the viewer's own settings (its last folder)
    std::filesystem::path journalFolder;  // where Ampelon keeps the running charge's journal
    std::string firstFolder;              // offered by the file dialogs until one is chosen
  };

  explicit ViewerWindow(const Paths& paths);
  ~ViewerWindow() override;

  // Shows the graph log `fileName`; a file that cannot be read is reported and changes nothing.
  bool OpenFile(const QString& fileName);
  // Shows the charge Ampelon is recording, and keeps showing it as it grows.
  void Follow();

 protected:
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
  void ExportCsv(bool viewOnly);
  void ExportPng();
  // The file dialog in the last folder: a file to open, or one to write with `suffix`.
  QString ChooseFile(bool forSaving, const QString& filter, const QString& suffix);
  void Report(const QString& text);

  Paths m_paths;
  IniSettingsBackend m_settingsBackend;
  SettingsStore m_settings;
  std::string m_lastFolder;

  PlotWidget* m_plot = nullptr;
  QLabel* m_readout = nullptr;
  QLabel* m_source = nullptr;
  QAction* m_timeAxis = nullptr;
  QAction* m_removeReference = nullptr;
  QAction* m_exportCsv = nullptr;
  QAction* m_exportViewCsv = nullptr;
  QAction* m_exportPng = nullptr;

  Charge m_opened;  // the graph log shown, when not following
  Charge m_reference;
  bool m_hasReference = false;
  bool m_wantTimeAxis = false;  // the user's choice; drawn only while the times are known
  QString m_openedName;
  QString m_referenceName;
  std::unique_ptr<JournalFollower> m_follower;
  QTimer m_followTimer;
  QElapsedTimer m_sinceChange;  // since the followed charge last changed
};

}  // namespace ampelon
