#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <QObject>
#include <QString>

#include "history/charge_record.h"
#include "viewer/charge.h"
#include "viewer/charge_analysis.h"
#include "viewer/slope_curve.h"

class QAction;
class QMainWindow;
class QMenu;

namespace ampelon {

class PlotWidget;
class SettingsBackend;
class SettingsStore;
class SummaryPanel;

// Keeps what the viewer says about a charge up with the charge shown and its reference: the
// summary panel (the figures of each, their differences, the statistics of the view or between
// the markers), the peak and end marked on the plot, the slope curve, what the charge library
// keeps of the charge (the battery's details, the notes as flags), and the plot's description
// for a screen reader. Its View commands (Summary, Slope, -dV Threshold…) and their
// settings in viewer.ini are its own.
class SummaryController final : public QObject {
 public:
  // The panel is docked at the right of `window`; `settings` and its `backend` must outlive the
  // controller.
  SummaryController(QMainWindow& window, PlotWidget& plot, SettingsStore& settings,
                    SettingsBackend& backend);

  void AddViewCommands(QMenu& view);
  // The -dV threshold kept in viewer.ini, or the default where none (or none of use) is; read
  // without writing anything.
  static double PeakDropSetting(SettingsBackend& settings);
  // The -dV threshold in millivolts that charges are judged with.
  double PeakDropMillivolts() const { return m_peakDrop; }

  // The charge shown (nullptr: none) named `name`, with its analysis made while it was read;
  // without one it is analysed here (a followed charge, which Ampelon keeps short).
  void SetCharge(const Charge* charge, const QString& name,
                 std::optional<ChargeAnalysis> analysis = std::nullopt);
  // Readings were added to the charge shown.
  void ChargeGrew();
  void SetReference(const Charge* reference, const QString& name,
                    std::optional<ChargeAnalysis> analysis = std::nullopt);
  // Judges both again with another threshold.
  void SetPeakDrop(double millivolts);

  SummaryPanel& Panel() { return *m_panel; }
  // Where the charge shown and the reference peak, as judged for the summary.
  std::optional<std::size_t> ChargePeak() const { return m_analysis.LongestChargePeak(); }
  std::optional<std::size_t> ReferencePeak() const {
    return m_referenceAnalysis.LongestChargePeak();
  }

  // What a report on the charge shown tells of it: the figures of each charge in it, the one
  // the summary shows, and that one's counterpart in the reference where one is shown.
  struct ReportFigures {
    std::vector<ChargeFigures> charges;
    std::size_t chosen = 0;
    std::optional<ChargeFigures> reference;
  };
  ReportFigures FiguresForReport() const;
  // What the charge library keeps of the charges of the file shown (one record a charge, by
  // their index in the file); none while they are not known.
  void SetRecords(std::vector<ChargeRecord> records);
  // The charge of several whose figures are shown, and its record where known.
  std::size_t ChosenCharge() const { return m_chosen; }
  const ChargeRecord* ChosenRecord() const;
  const std::vector<ChargeRecord>& Records() const { return m_records; }
  // Shows the `index`th charge of the file, as if chosen in the panel.
  void ChooseCharge(int index);
  // Told whenever another charge is chosen or the records change.
  std::function<void()> onChosenChanged;

 private:
  // The analysis changed: the plot's marks and slope, the charge list, the panel, the description.
  void ShowAnalysis();
  // The view or the markers moved: the statistics and the description.
  void ShowStatistics();
  void ShowText();
  void Describe();
  void AskPeakDrop();
  // The readings whose statistics are shown: between the markers when both are set, else those
  // in view; and what they are called.
  std::pair<std::size_t, std::size_t> StatisticsRange(QString& title) const;

  PlotWidget& m_plot;
  SettingsStore& m_settings;
  SummaryPanel* m_panel = nullptr;
  QAction* m_slope = nullptr;
  double m_peakDrop;

  const Charge* m_charge = nullptr;
  QString m_name;
  ChargeAnalysis m_analysis;
  SlopeCurve m_slopeCurve;  // of the charge chosen
  const Charge* m_reference = nullptr;
  QString m_referenceName;
  ChargeAnalysis m_referenceAnalysis;
  std::vector<ChargeRecord> m_records;
  std::size_t m_chosen = 0;     // the charge of several whose figures are shown
  bool m_chosenByUser = false;  // else the last is shown, also as more begin
  std::pair<std::size_t, std::size_t> m_statisticsRange{0, 0};
  QString m_statisticsText;
  QString m_statisticsSaid;  // the same in a sentence, for the plot's description
};

}  // namespace ampelon
