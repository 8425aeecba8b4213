#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>

#include "analysis/charge_figures.h"
#include "viewer/charge.h"
#include "viewer/qt/library_worker.h"

class QAction;
class QMainWindow;
class QMenu;
class QPoint;

namespace ampelon {

class HistoryWindow;
class PlotWidget;
class SummaryController;

// The viewer's side of the charge library: registers each file opened, keeps its records in the
// summary, and holds the commands on them: File > Charge Details…, notes pinned to a reading
// (the plot's right-click menu, the summary's list) and View > Battery History…. Every call
// on the library runs on the LibraryWorker's thread; a library that cannot be used is said
// once in the status bar and the commands on it stay off.
class LibraryController final : public QObject {
 public:
  // Opens a charge from the history: `path` and which charge in it, and a reference where one
  // is given.
  using OpenCharge = std::function<void(const std::filesystem::path& path, std::size_t index,
                                        const std::optional<std::filesystem::path>& reference)>;

  // `libraryFile` empty: no library is kept. `tell` shows a message in the status bar.
  LibraryController(QMainWindow& window, PlotWidget& plot, SummaryController& summary,
                    std::filesystem::path libraryFile, std::function<void(const QString&)> tell,
                    OpenCharge open);
  ~LibraryController() override;

  void AddFileCommands(QMenu& file);
  void AddViewCommands(QMenu& view);

  // The file shown, with what the library knows it by: it is registered, and its records shown
  // once known. `charge` must stay while it is shown.
  void SetFile(const std::filesystem::path& path, const Charge* charge, std::uint64_t readingsHash,
               std::int64_t recordedAt, std::vector<ChargeFigures> figures);
  // Nothing from a file is shown (following the running charge, or none).
  void ClearFile();
  // Every task given to the library so far has run (for tests and for closing).
  bool Idle() const { return m_pending == 0; }

  void EditDetails();
  void AddNote(std::size_t reading);
  void EditNote(std::int64_t noteId);
  void RemoveNote(std::int64_t noteId);
  void ShowHistory();

 private:
  void ShowPlotMenu(const QPoint& global, std::optional<std::size_t> reading,
                    std::optional<std::int64_t> noteId);
  void UpdateCommands();
  // Runs `work` on the library, then `done` if the file shown is still the same one; a failure
  // that `work` leaves in `failure` is told in the status bar.
  void Run(std::function<void(ChargeLibrary&, std::string& failure)> work,
           std::function<void()> done);
  void Problem(const std::string& text);

  QMainWindow& m_window;
  SummaryController& m_summary;
  std::function<void(const QString&)> m_tell;
  OpenCharge m_open;
  QAction* m_details = nullptr;
  QPointer<HistoryWindow> m_history;

  std::filesystem::path m_path;
  const Charge* m_charge = nullptr;
  std::uint64_t m_file = 0;  // counts the files shown: an answer for an earlier one is dropped
  int m_pending = 0;
  bool m_unusable = false;
  LibraryWorker m_worker;  // last: its thread ends before the rest goes
};

}  // namespace ampelon
