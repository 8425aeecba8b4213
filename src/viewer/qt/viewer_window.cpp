#include "viewer/qt/viewer_window.h"

#include <cstdio>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "viewer/journal_follower.h"
#include "viewer/qt/charge_loader.h"
#include "viewer/qt/export_files.h"
#include "viewer/qt/plot_widget.h"

namespace ampelon {
namespace {

constexpr const char* kLastPathSetting = "Last Path";
constexpr int kPollMilliseconds = 1000;
constexpr qint64 kQuietMilliseconds = 60000;

QString OpenFileText() {
  return QStringLiteral("Open a graph log with File > Open, or drop one here.");
}

QString NoChargeText() {
  return QStringLiteral("No charge is being recorded.\n\n") + OpenFileText();
}

QString FileNameOf(const QString& path) { return QFileInfo(path).fileName(); }

// The local file dropped, or nothing.
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) return {};
  const QUrl url = data->urls().front();
  return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : QString();
}

// Stops a timer for as long as it lives.
class PausedTimer {
 public:
  explicit PausedTimer(QTimer& timer) : m_timer(timer), m_wasActive(timer.isActive()) {
    m_timer.stop();
  }
  ~PausedTimer() {
    if (m_wasActive) m_timer.start();
  }
  PausedTimer(const PausedTimer&) = delete;
  PausedTimer& operator=(const PausedTimer&) = delete;

 private:
  QTimer& m_timer;
  bool m_wasActive;
};

}  // namespace

ViewerWindow::ViewerWindow(const Paths& paths)
    : m_paths(paths), m_settingsBackend(paths.settingsFile), m_settings(m_settingsBackend) {
  setWindowTitle(QStringLiteral("Ampelon Viewer"));
  setAcceptDrops(true);
  m_lastFolder = m_settings.ReadSetting(kLastPathSetting, paths.firstFolder);

  m_plot = new PlotWidget(this);
  m_plot->SetEmptyText(OpenFileText());
  setCentralWidget(m_plot);
  m_plot->setFocus();
  m_readout = new QLabel(this);
  m_source = new QLabel(this);
  statusBar()->addWidget(m_readout, 1);
  statusBar()->addPermanentWidget(m_source);
  connect(m_plot, &PlotWidget::ReadoutChanged, m_readout, &QLabel::setText);

  BuildMenus();
  m_followTimer.setInterval(kPollMilliseconds);
  connect(&m_followTimer, &QTimer::timeout, this, [this] { PollJournal(); });
  resize(1000, 620);
  UpdateCommands();
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Open…"), QKeySequence::Open, this, [this] {
    const QString name = ChooseFile(false, QStringLiteral("LOG files (*.log)"), {});
    if (!name.isEmpty()) OpenFile(name);
  });
  file->addAction(QStringLiteral("&Follow the Running Charge"), this, [this] { Follow(); });
  file->addSeparator();
  file->addAction(QStringLiteral("&Compare with…"), this, [this] { CompareWith(); });
  m_removeReference =
      file->addAction(QStringLiteral("&Remove Reference"), this, [this] { RemoveReference(); });
  file->addSeparator();
  m_exportCsv = file->addAction(QStringLiteral("&Export CSV…"), this, [this] { ExportCsv(false); });
  m_exportViewCsv = file->addAction(QStringLiteral("Export CSV of the &View…"), this,
                                    [this] { ExportCsv(true); });
  m_exportPng = file->addAction(QStringLiteral("Export &PNG…"), this, [this] { ExportPng(); });
  file->addSeparator();
  file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, [this] { close(); });

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  m_timeAxis = view->addAction(QStringLiteral("&Time Axis"));
  m_timeAxis->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  m_timeAxis->setCheckable(true);
  connect(m_timeAxis, &QAction::toggled, this, [this](bool on) {
    m_wantTimeAxis = on;
    m_plot->SetTimeAxis(on);
  });
  view->addAction(QStringLiteral("Show &All"), this, [this] { m_plot->ShowAll(); });
}

void ViewerWindow::UpdateCommands() {
  const bool times = m_plot->TimesKnown();
  m_timeAxis->setEnabled(times);
  m_timeAxis->setToolTip(times ? QString() : QStringLiteral("The readings' times are not known"));
  {
    // The plot keeps the choice; the check mark shows what it draws.
    const QSignalBlocker blocker(m_timeAxis);
    m_timeAxis->setChecked(m_plot->TimeAxis());
  }
  const Charge* shown = m_follower ? &m_follower->GetCharge() : &m_opened;
  const bool any = m_follower || !m_openedName.isEmpty();
  m_exportCsv->setEnabled(any && !shown->counts.empty());
  m_exportViewCsv->setEnabled(any && !shown->counts.empty());
  m_exportPng->setEnabled(any);
  m_removeReference->setEnabled(m_hasReference);
  if (m_follower) {
    ShowFollowState();
    return;
  }
  QString source = FileNameOf(m_openedName);
  if (m_hasReference) {
    source += (source.isEmpty() ? QString() : QStringLiteral("  ·  ")) +
              QStringLiteral("reference: ") + FileNameOf(m_referenceName);
  }
  m_source->setText(source);
}

bool ViewerWindow::OpenFile(const QString& fileName) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Result<ChargeFile> loaded = LoadChargeFile(fileName.toStdString());
  QApplication::restoreOverrideCursor();
  if (!loaded) {
    Report(QString::fromStdString(loaded.error()) + QStringLiteral("\nNothing was opened."));
    return false;
  }
  StopFollowing();
  m_opened = std::move(loaded->charge);
  m_openedName = fileName;
  ShowCharge(&m_opened);
  setWindowTitle(FileNameOf(fileName) + QStringLiteral(" — Ampelon Viewer"));
  const QFileInfo info(fileName);
  m_lastFolder = QDir::toNativeSeparators(info.absolutePath() + QLatin1Char('/')).toStdString();
  m_settings.WriteSetting(kLastPathSetting, m_lastFolder);
  UpdateCommands();
  if (!loaded->notes.empty()) Report(QString::fromStdString(loaded->notes));
  return true;
}

void ViewerWindow::Follow() {
  if (m_follower) return;
  m_follower = std::make_unique<JournalFollower>(m_paths.journalFolder / "charge-journal.log",
                                                 m_paths.journalFolder / "charge-journal.times");
  m_opened = Charge{};
  m_openedName.clear();
  m_plot->SetCharge(nullptr);
  m_plot->SetEmptyText(NoChargeText());
  setWindowTitle(QStringLiteral("Running charge — Ampelon Viewer"));
  m_sinceChange.start();
  PollJournal();
  m_followTimer.start();
}

void ViewerWindow::ShowCharge(const Charge* charge) {
  m_plot->SetCharge(charge);
  // The time axis stays chosen across charges, drawn whenever the times are known.
  m_plot->SetTimeAxis(m_wantTimeAxis);
}

void ViewerWindow::StopFollowing() {
  m_followTimer.stop();
  m_follower.reset();
}

void ViewerWindow::PollJournal() {
  if (!m_follower) return;
  const bool timesKnown = m_plot->TimesKnown();
  const JournalFollower::Change change = m_follower->Poll();
  if (change != JournalFollower::Change::kNone) m_sinceChange.restart();
  switch (change) {
    case JournalFollower::Change::kStartedOver:
      ShowCharge(&m_follower->GetCharge());
      break;
    case JournalFollower::Change::kGrew:
      // Times that became known (or unknown) change what the plot can draw.
      if (timesKnown != !m_follower->GetCharge().seconds.empty()) {
        ShowCharge(&m_follower->GetCharge());
      } else {
        m_plot->ChargeGrew();
      }
      break;
    case JournalFollower::Change::kEnded:
    case JournalFollower::Change::kNone:
      break;
  }
  UpdateCommands();
}

void ViewerWindow::ShowFollowState() {
  const std::size_t readings = m_follower->GetCharge().counts.size();
  const QString count = QLocale().toString(static_cast<qulonglong>(readings));
  QString text;
  switch (m_follower->GetState()) {
    case JournalFollower::State::kWaiting:
      text = QStringLiteral("Waiting for a charge to be recorded");
      break;
    case JournalFollower::State::kFollowing:
      text = QStringLiteral("Following the running charge: %1 readings").arg(count);
      // A journal left by a program that ended without saving stays until Ampelon starts again.
      if (m_sinceChange.elapsed() >= kQuietMilliseconds) {
        text += QStringLiteral(", none new for %1 min").arg(m_sinceChange.elapsed() / 60000);
      }
      break;
    case JournalFollower::State::kEnded:
      text = QStringLiteral("The charge has ended: its %1 readings stay shown").arg(count);
      break;
  }
  if (!m_follower->Problem().empty()) {
    text += QStringLiteral(" (the journal cannot be read: %1)")
                .arg(QString::fromStdString(m_follower->Problem()));
  }
  if (m_hasReference) {
    text += QStringLiteral("  ·  reference: ") + FileNameOf(m_referenceName);
  }
  m_source->setText(text);
}

void ViewerWindow::CompareWith() {
  const QString name = ChooseFile(false, QStringLiteral("LOG files (*.log)"), {});
  if (name.isEmpty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Result<ChargeFile> loaded = LoadChargeFile(name.toStdString());
  QApplication::restoreOverrideCursor();
  if (!loaded) {
    Report(QString::fromStdString(loaded.error()) +
           QStringLiteral("\nThe reference is unchanged."));
    return;
  }
  m_reference = std::move(loaded->charge);
  m_referenceName = name;
  m_hasReference = true;
  m_plot->SetReference(&m_reference);
  m_plot->SetTimeAxis(m_wantTimeAxis);
  UpdateCommands();
  if (!loaded->notes.empty()) Report(QString::fromStdString(loaded->notes));
}

void ViewerWindow::RemoveReference() {
  m_plot->SetReference(nullptr);
  m_plot->SetTimeAxis(m_wantTimeAxis);
  m_reference = Charge{};
  m_referenceName.clear();
  m_hasReference = false;
  UpdateCommands();
}

void ViewerWindow::ExportCsv(bool viewOnly) {
  const Charge& charge = m_follower ? m_follower->GetCharge() : m_opened;
  // The range is taken before the dialog: a followed charge may grow while it is open.
  const auto [first, last] = viewOnly
                                 ? m_plot->VisibleSamples()
                                 : std::pair<std::size_t, std::size_t>{0, charge.counts.size()};
  const QString name = ChooseFile(true, QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
  if (name.isEmpty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const Result<void> saved = SaveCsvFile(name.toStdString(), charge, first, last);
  QApplication::restoreOverrideCursor();
  if (!saved)
    Report(
        QStringLiteral("Could not save %1:\n%2").arg(name, QString::fromStdString(saved.error())));
}

void ViewerWindow::ExportPng() {
  const QImage image = m_plot->RenderImage(m_plot->size(), m_plot->devicePixelRatioF());
  const QString name =
      ChooseFile(true, QStringLiteral("PNG pictures (*.png)"), QStringLiteral("png"));
  if (name.isEmpty()) return;
  const Result<void> saved = SavePngFile(name.toStdString(), image);
  if (!saved)
    Report(
        QStringLiteral("Could not save %1:\n%2").arg(name, QString::fromStdString(saved.error())));
}

QString ViewerWindow::ChooseFile(bool forSaving, const QString& filter, const QString& suffix) {
  // Qt's own dialog, as in Ampelon: the same on every platform, and scriptable.
  QFileDialog dialog(this, QStringLiteral("Select Graph LOG File"),
                     QString::fromStdString(m_lastFolder));
  if (forSaving) dialog.setWindowTitle(QStringLiteral("Export to File"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters({filter, QStringLiteral("All files (*.*)")});
  dialog.selectNameFilter(filter);
  if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
  // A followed charge holds still while a file is chosen, so that an export writes the
  // readings that were shown when it was asked for.
  const PausedTimer paused(m_followTimer);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString name = QDir::toNativeSeparators(dialog.selectedFiles().front());
  m_lastFolder =
      QDir::toNativeSeparators(QFileInfo(name).absolutePath() + QLatin1Char('/')).toStdString();
  m_settings.WriteSetting(kLastPathSetting, m_lastFolder);
  if (forSaving && QFileInfo(name).exists() && !QFileInfo(name).isDir()) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Ampelon Viewer"),
                    QStringLiteral("%1 already exists. Replace it?").arg(name),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes) return {};
  }
  return name;
}

void ViewerWindow::Report(const QString& text) {
  // Also on the standard error stream, where it stays readable after the box is closed.
  std::fprintf(stderr, "ampelon-viewer: %s\n", qUtf8Printable(text));
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Ampelon Viewer"), text, QMessageBox::Ok,
                  this);
  box.exec();
}

void ViewerWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ViewerWindow::dropEvent(QDropEvent* event) {
  const QString file = DroppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  // Not inside the drop: a message box there would keep the dragging program waiting.
  QTimer::singleShot(0, this, [this, file] { OpenFile(file); });
}

}  // namespace ampelon
