#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QWidget>

#include "history/battery_summary.h"
#include "history/charge_record.h"
#include "viewer/qt/library_controller.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace ampelon {

class LibraryWorker;
class TrendPlot;

// View > Battery History…: the batteries in the charge library with their judgement, and for
// the battery chosen its charges and the trend of peak voltage, time to peak and drop. A
// double-click opens a charge; with two chosen, Open shows the later with the earlier behind it
// as the reference. Everything is read on the library's thread.
class HistoryWindow final : public QWidget {
 public:
  // A window of its own over `parent` (the viewer's), which it does not keep open.
  HistoryWindow(LibraryWorker& worker, LibraryController::OpenCharge open,
                QWidget* parent = nullptr);

  // Reads the batteries again, keeping the one chosen.
  void Reload();

 private:
  void LoadCharges(const std::string& battery);
  void ShowCharges(const std::string& battery, std::vector<ChargeRecord> charges);
  void OpenChosen(bool asReference);
  void UpdateButtons();

  LibraryWorker& m_worker;
  LibraryController::OpenCharge m_open;
  QTableWidget* m_batteries = nullptr;
  QTableWidget* m_charges = nullptr;
  QLabel* m_about = nullptr;
  TrendPlot* m_peakVolts = nullptr;
  TrendPlot* m_timeToPeak = nullptr;
  TrendPlot* m_drop = nullptr;
  QPushButton* m_openButton = nullptr;
  std::vector<BatterySummary> m_batteryList;
  std::vector<ChargeRecord> m_chargeList;
  std::optional<std::string> m_battery;  // the battery whose charges are shown, "" no name
};

}  // namespace ampelon
