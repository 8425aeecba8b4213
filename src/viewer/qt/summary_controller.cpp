#include "viewer/qt/summary_controller.h"

#include <algorithm>
#include <cmath>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>

#include "common/leading_number.h"
#include "common/number_text.h"
#include "common/volts.h"
#include "settings/settings_backend.h"
#include "settings/settings_store.h"
#include "viewer/qt/history_text.h"
#include "viewer/qt/plot_widget.h"
#include "viewer/qt/readout_text.h"
#include "viewer/qt/summary_panel.h"
#include "viewer/qt/summary_text.h"

namespace ampelon {
namespace {

constexpr const char* kSummaryShownSetting = "Summary Shown";
constexpr const char* kSlopeShownSetting = "Slope Shown";
constexpr const char* kPeakDropSetting = "Peak Drop mV";
// What the -dV threshold may be set to: from less than a NiMH cell's drop to a pack's.
constexpr double kLeastPeakDrop = 0.5;
constexpr double kMostPeakDrop = 100.0;

double PeakDropOf(const std::optional<std::string>& text) {
  const std::optional<double> value = text ? LeadingNumberIfAny(*text) : std::nullopt;
  if (!value || !(*value >= kLeastPeakDrop && *value <= kMostPeakDrop)) {
    return charge_rules::kPeakDropMillivolts;
  }
  return *value;
}

// The reference's charge to compare with the charge's `index`th: the same one, or its last.
std::size_t Counterpart(const ChargeAnalyser& reference, std::size_t index) {
  return std::min(index, reference.ChargeCount() - 1);
}

QString Joined(const QStringList& lines) { return lines.join(QLatin1Char('\n')); }

// The plot is a chart to a screen reader, not an unnamed filler.
QAccessibleInterface* PlotAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String(PlotWidget::staticMetaObject.className())) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
}

}  // namespace

SummaryController::SummaryController(QMainWindow& window, PlotWidget& plot, SettingsStore& settings,
                                     SettingsBackend& backend)
    : QObject(&window),
      m_plot(plot),
      m_settings(settings),
      m_peakDrop(PeakDropSetting(backend)),
      m_analysis(m_peakDrop),
      m_referenceAnalysis(m_peakDrop) {
  m_panel = new SummaryPanel(&window);
  window.addDockWidget(Qt::RightDockWidgetArea, m_panel);
  m_panel->setVisible(settings.ReadSetting(kSummaryShownSetting, "1") != "0");
  // Closed by its own button or by View > Summary, it stays closed at the next start.
  connect(m_panel->toggleViewAction(), &QAction::triggered, this,
          [this](bool shown) { m_settings.WriteSetting(kSummaryShownSetting, shown ? "1" : "0"); });
  connect(m_panel, &SummaryPanel::Closed, this,
          [this] { m_settings.WriteSetting(kSummaryShownSetting, "0"); });
  connect(m_panel, &SummaryPanel::ChargeChosen, this, [this](int index) { ChooseCharge(index); });
  connect(&m_plot, &PlotWidget::ViewChanged, this, [this] { ShowStatistics(); });
  connect(&m_plot, &PlotWidget::ReadoutChanged, this, [this] { Describe(); });
  static const bool accessibleInstalled = (QAccessible::installFactory(PlotAccessible), true);
  Q_UNUSED(accessibleInstalled);
  m_plot.setAccessibleName(QStringLiteral("Charge plot"));
  ShowAnalysis();
}

double SummaryController::PeakDropSetting(SettingsBackend& settings) {
  return PeakDropOf(settings.ReadValue(kPeakDropSetting));
}

void SummaryController::AddViewCommands(QMenu& view) {
  view.addSeparator();
  QAction* summary = m_panel->toggleViewAction();
  summary->setText(QStringLiteral("&Summary"));
  view.addAction(summary);
  m_slope = view.addAction(QStringLiteral("S&lope"));
  m_slope->setCheckable(true);
  m_slope->setChecked(m_settings.ReadSetting(kSlopeShownSetting, "0") == "1");
  m_plot.SetSlopeShown(m_slope->isChecked());
  connect(m_slope, &QAction::toggled, this, [this](bool on) {
    m_settings.WriteSetting(kSlopeShownSetting, on ? "1" : "0");
    m_plot.SetSlopeShown(on);
  });
  view.addAction(QStringLiteral("-dV &Threshold…"), this, [this] { AskPeakDrop(); });
  ShowAnalysis();
}

void SummaryController::SetCharge(const Charge* charge, const QString& name,
                                  std::optional<ChargeAnalysis> analysis) {
  m_charge = charge;
  m_name = name;
  m_analysis = analysis ? std::move(*analysis) : ChargeAnalysis(m_peakDrop);
  if (m_charge != nullptr && !analysis) m_analysis.Update(*m_charge);
  m_chosenByUser = false;
  ShowAnalysis();
}

void SummaryController::ChargeGrew() {
  if (m_charge == nullptr) return;
  m_analysis.Update(*m_charge);
  ShowAnalysis();
}

void SummaryController::SetReference(const Charge* reference, const QString& name,
                                     std::optional<ChargeAnalysis> analysis) {
  m_reference = reference;
  m_referenceName = name;
  m_referenceAnalysis = analysis ? std::move(*analysis) : ChargeAnalysis(m_peakDrop);
  if (m_reference != nullptr && !analysis) m_referenceAnalysis.Update(*m_reference);
  ShowAnalysis();
}

void SummaryController::SetPeakDrop(double millivolts) {
  m_peakDrop = millivolts;
  m_settings.WriteSetting(kPeakDropSetting, NumberText(millivolts));
  // One pass over each charge: some milliseconds for ten million readings.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (m_charge != nullptr) m_analysis.SetPeakDrop(millivolts, *m_charge);
  if (m_reference != nullptr) m_referenceAnalysis.SetPeakDrop(millivolts, *m_reference);
  QApplication::restoreOverrideCursor();
  ShowAnalysis();
}

void SummaryController::AskPeakDrop() {
  bool accepted = false;
  const double millivolts = QInputDialog::getDouble(
      m_panel->parentWidget(), QStringLiteral("-dV Threshold"),
      QStringLiteral("A charge has passed its peak when its voltage has fallen this many "
                     "millivolts below it\n(about 5 mV a NiMH cell, 10 to 15 mV a NiCd cell):"),
      m_peakDrop, kLeastPeakDrop, kMostPeakDrop, 1, &accepted);
  if (accepted) SetPeakDrop(millivolts);
}

void SummaryController::SetRecords(std::vector<ChargeRecord> records) {
  m_records = std::move(records);
  ShowAnalysis();
}

const ChargeRecord* SummaryController::ChosenRecord() const {
  const auto record = std::find_if(m_records.begin(), m_records.end(),
                                   [this](const auto& r) { return r.chargeIndex == m_chosen; });
  return record != m_records.end() ? &*record : nullptr;
}

void SummaryController::ChooseCharge(int index) {
  if (m_charge == nullptr || index < 0 ||
      static_cast<std::size_t>(index) >= m_analysis.Analyser().ChargeCount()) {
    return;
  }
  m_chosen = static_cast<std::size_t>(index);
  m_chosenByUser = true;
  ShowAnalysis();
  const ChargeFigures figures = m_analysis.Analyser().Figures(m_chosen);
  m_plot.ShowReadings(figures.firstSample - 1, figures.lastSample - 1);
}

void SummaryController::ShowAnalysis() {
  const ChargeAnalyser& analyser = m_analysis.Analyser();
  const std::size_t count = m_charge != nullptr ? analyser.ChargeCount() : 0;
  if (!m_chosenByUser || m_chosen >= count) m_chosen = count > 0 ? count - 1 : 0;
  const QLocale locale;
  PlotOverlay overlay;
  QStringList names;
  if (count > 0) {
    const ChargeFigures figures = analyser.Figures(m_chosen);
    overlay.marks.push_back({figures.peakSample - 1, figures.peakVolts,
                             QStringLiteral("peak ") + locale.toString(figures.peakVolts, 'f', 4) +
                                 QStringLiteral(" V"),
                             false});
    if (figures.endSample && *figures.endSample - 1 < m_charge->counts.size()) {
      const std::size_t reading = *figures.endSample - 1;
      overlay.marks.push_back({reading, Volts(m_charge->counts[reading]),
                               QString::fromLatin1(ChargeEndName(figures.end)), true});
    }
    if (count > 1) {
      overlay.span = {figures.firstSample - 1, figures.lastSample - 1};
      overlay.spanLabel = QStringLiteral("charge %1 of %2").arg(m_chosen + 1).arg(count);
    }
    m_slopeCurve.Update(analyser, *m_charge, m_chosen);
    overlay.slope = &m_slopeCurve;
    for (std::size_t i = 0; i < count; ++i) {
      names << QStringLiteral("Charge %1 of %2: %3")
                   .arg(i + 1)
                   .arg(count)
                   .arg(QString::fromLatin1(ChargeEndName(analyser.Figures(i).end)));
    }
  }
  std::vector<std::pair<std::int64_t, QString>> notes;
  for (const ChargeRecord& record : m_records) {
    for (const PinnedNote& note : record.notes) {
      if (m_charge != nullptr && note.sample >= 1 && note.sample <= m_charge->counts.size()) {
        overlay.flags.push_back({note.sample - 1, QString::fromStdString(note.text), note.id});
      }
      notes.emplace_back(note.id, PinnedNoteText(locale, note));
    }
  }
  m_panel->SetNotes(notes);
  m_plot.SetOverlay(std::move(overlay));
  m_panel->SetCharges(names, static_cast<int>(m_chosen));
  if (onChosenChanged) onChosenChanged();
  if (m_slope != nullptr) {
    const bool slope = count > 0 && !m_slopeCurve.Empty();
    m_slope->setEnabled(slope);
    m_slope->setToolTip(slope ? QString() : QStringLiteral("The readings' times are not known"));
  }
  m_statisticsRange = {0, 0};
  m_statisticsText.clear();
  m_statisticsSaid.clear();
  ShowStatistics();
  ShowText();
}

std::pair<std::size_t, std::size_t> SummaryController::StatisticsRange(QString& title) const {
  const auto [a, b] = m_plot.Markers();
  if (a && b) {
    const std::size_t first = std::min(*a, *b);
    const std::size_t last = std::max(*a, *b) + 1;
    title = QStringLiteral("Between the markers, samples %1 to %2").arg(first + 1).arg(last);
    return {first, last};
  }
  const auto [first, last] = m_plot.VisibleSamples();
  title = QStringLiteral("In view, samples %1 to %2").arg(first + 1).arg(last);
  return {first, last};
}

void SummaryController::ShowStatistics() {
  if (m_charge == nullptr) return;
  QString title;
  const std::pair<std::size_t, std::size_t> range = StatisticsRange(title);
  if (range == m_statisticsRange && !m_statisticsText.isEmpty()) return;
  m_statisticsRange = range;
  const std::optional<RangeFigures> figures =
      m_analysis.Statistics().Of(m_charge->counts, m_charge->seconds, range.first, range.second);
  const QLocale locale;
  m_statisticsText = figures
                         ? title + QStringLiteral(":\n") + Joined(StatisticsLines(locale, *figures))
                         : QString();
  m_statisticsSaid =
      figures ? title + QStringLiteral(", ") + locale.toString(figures->lowestVolts, 'f', 4) +
                    QStringLiteral(" V to ") + locale.toString(figures->highestVolts, 'f', 4) +
                    QStringLiteral(" V. ")
              : QString();
  ShowText();
}

void SummaryController::ShowText() {
  const QLocale locale;
  const ChargeAnalyser& analyser = m_analysis.Analyser();
  QStringList parts;
  if (m_charge == nullptr) {
    parts << QStringLiteral("No charge is shown.");
  } else if (analyser.ChargeCount() == 0) {
    // The first readings wait for the two after them.
    parts << QStringLiteral("%1: %2, too few to judge.")
                 .arg(m_name, ReadingsText(m_charge->counts.size()));
  } else {
    const ChargeFigures figures = analyser.Figures(m_chosen);
    QString title = m_name;
    if (analyser.ChargeCount() > 1) {
      title += QStringLiteral(", ") + ChargeTitle(figures, m_chosen, analyser.ChargeCount());
    }
    parts << title + QLatin1Char('\n') + Joined(FiguresLines(locale, figures));
    if (const ChargeRecord* record = ChosenRecord()) {
      const QStringList details = DetailsLines(locale, record->details, figures);
      if (!details.isEmpty()) parts << Joined(details);
    }
    const ChargeAnalyser& reference = m_referenceAnalysis.Analyser();
    if (m_reference != nullptr && reference.ChargeCount() > 0) {
      const ChargeFigures other = reference.Figures(Counterpart(reference, m_chosen));
      parts << QStringLiteral("Reference: ") + m_referenceName + QLatin1Char('\n') +
                   Joined(FiguresLines(locale, other));
      parts << QStringLiteral("Charge against the reference:\n") +
                   Joined(DifferenceLines(locale, figures, other));
    }
    if (!m_statisticsText.isEmpty()) parts << m_statisticsText;
  }
  parts << QStringLiteral("-dV threshold: ") + locale.toString(m_peakDrop, 'f', 1) +
               QStringLiteral(" mV");
  m_panel->SetText(parts.join(QStringLiteral("\n\n")));
  Describe();
}

SummaryController::ReportFigures SummaryController::FiguresForReport() const {
  ReportFigures figures;
  if (m_charge == nullptr) return figures;
  figures.charges = m_analysis.Analyser().AllFigures();
  figures.chosen = m_chosen;
  const ChargeAnalyser& reference = m_referenceAnalysis.Analyser();
  if (m_reference != nullptr && reference.ChargeCount() > 0 && !figures.charges.empty()) {
    figures.reference = reference.Figures(Counterpart(reference, m_chosen));
  }
  return figures;
}

void SummaryController::Describe() {
  const QLocale locale;
  const ChargeAnalyser& analyser = m_analysis.Analyser();
  if (m_charge == nullptr || m_charge->counts.empty()) {
    m_plot.setAccessibleDescription(QStringLiteral("No charge is shown."));
    return;
  }
  const std::size_t readings = m_charge->counts.size();
  QString text = QStringLiteral("%1: %2 readings").arg(m_name).arg(readings);
  if (const auto whole =
          m_analysis.Statistics().Of(m_charge->counts, m_charge->seconds, 0, readings)) {
    text += QStringLiteral(" from %1 to %2")
                .arg(locale.toString(whole->lowestVolts, 'f', 4) + QStringLiteral(" V"),
                     locale.toString(whole->highestVolts, 'f', 4) + QStringLiteral(" V"));
  }
  const std::optional<double> first = FirstKnownTime(*m_charge);
  if (first && std::isfinite(m_charge->seconds.back())) {
    text += QStringLiteral(" over ") + TimeText(locale, m_charge->seconds.back() - *first, 0);
  }
  text += QStringLiteral(". ");
  if (analyser.ChargeCount() > 0) {
    text += QStringLiteral("End: ") + EndText(locale, analyser.Figures(m_chosen)) +
            QStringLiteral(". ");
  }
  text += m_statisticsSaid;
  if (!m_plot.Readout().isEmpty()) text += QStringLiteral("Pointer: ") + m_plot.Readout();
  m_plot.setAccessibleDescription(text.trimmed());
}

}  // namespace ampelon
