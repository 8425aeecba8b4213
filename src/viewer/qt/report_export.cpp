// File > Export Report… of the viewer's window: kept apart from viewer_window.cpp, which holds
// the window's other commands.
#include <QApplication>
#include <QFileInfo>
#include <QLocale>

#include "ui/qt/native_path.h"
#include "viewer/journal_follower.h"
#include "viewer/qt/charge_report.h"
#include "viewer/qt/plot_widget.h"
#include "viewer/qt/summary_controller.h"
#include "viewer/qt/viewer_window.h"

namespace ampelon {

void ViewerWindow::ExportReport() {
  const std::filesystem::path path =
      ChooseFile(true, QStringLiteral("PDF documents (*.pdf)"), QStringLiteral("pdf"));
  if (path.empty()) return;
  // Gathered after the dialog: a followed charge is reported as it is when the report is made.
  ChargeReport report;
  report.charge = m_follower ? &m_follower->GetCharge() : &m_opened;
  report.fileName =
      m_follower ? QStringLiteral("running charge") : QFileInfo(m_openedName).fileName();
  report.chargeName = m_follower ? QStringLiteral("running charge") : LegendName(m_openedName);
  if (m_hasReference) {
    report.reference = &m_reference;
    report.referenceName = LegendName(m_referenceName);
  }
  report.timeAxis = m_plot->TimeAxis();
  SummaryController::ReportFigures figures = m_summary->FiguresForReport();
  report.charges = std::move(figures.charges);
  report.chosen = figures.chosen;
  report.referenceFigures = figures.reference;
  report.peakDropMillivolts = m_summary->PeakDropMillivolts();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  AddLibraryHistory(report);
  const Result<void> saved = SaveChargeReport(path, report, QLocale());
  QApplication::restoreOverrideCursor();
  if (!saved) {
    Report(QStringLiteral("Could not save %1:\n%2")
               .arg(QtFromPath(path), QString::fromStdString(saved.error())));
  }
}

}  // namespace ampelon
