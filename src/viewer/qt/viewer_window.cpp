#include "viewer/qt/viewer_window.h"

#include <cstdio>

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QUrl>

#include "common/utf8_path.h"
#include "ui/qt/native_path.h"
#include "viewer/journal_follower.h"
#include "viewer/qt/charge_loader.h"
#include "viewer/qt/export_files.h"
#include "viewer/qt/library_controller.h"
#include "viewer/qt/names_label.h"
#include "viewer/qt/plot_widget.h"
#include "viewer/qt/reading_interval_dialog.h"
#include "viewer/qt/summary_controller.h"

namespace ampelon {
namespace {

constexpr const char* kLastPathSetting = "Last Path";
constexpr int kPollMilliseconds = 1000;
constexpr qint64 kQuietMilliseconds = 60000;
// How often the progress of a file being read is shown; a file read sooner shows none.
constexpr int kLoadProgressMilliseconds = 100;
constexpr int kLoadProgressSteps = 1000;

// What File > Open and Compare with… offer: graph logs and the viewer's own CSV exports.
const QString kChargeFiles = QStringLiteral("Charges (*.log *.csv)");

// "(2 s a reading)": how a file without times was given them.
QString IntervalNote(double seconds) {
  return QStringLiteral(" (%1 s a reading)").arg(QLocale().toString(seconds, 'g', 6));
}

QString OpenFileText() {
  return QStringLiteral("Open a graph log with File > Open, or drop one here.");
}

QString NoChargeText() {
  return QStringLiteral("No charge is being recorded.\n\n") + OpenFileText();
}

QString FileNameOf(const QString& path) { return QFileInfo(path).fileName(); }

// The folder of `path` with a final separator, as the file dialog is given it.
std::string FolderOf(const std::filesystem::path& path) {
  return Utf8FromPath((path.parent_path() / "").make_preferred());
}

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
    : m_paths(paths),
      m_settingsBackend(paths.settingsFile),
      m_settings(m_settingsBackend),
      m_intervals(paths.settingsFile) {
  setWindowTitle(QStringLiteral("Ampelon Viewer"));
  setAcceptDrops(true);
  m_lastFolder = m_settings.ReadSetting(kLastPathSetting, paths.firstFolder);

  m_plot = new PlotWidget(this);
  m_plot->SetEmptyText(OpenFileText());
  setCentralWidget(m_plot);
  m_plot->setFocus();
  // Escape stops a file being read before it clears the plot's markers.
  m_plot->installEventFilter(this);
  // The read-out keeps the room its values need; the file names beside it take the rest. Both
  // give way to a message shown for a while.
  auto* readouts = new QWidget(this);
  auto* layout = new QHBoxLayout(readouts);
  layout->setContentsMargins(0, 0, 0, 0);
  m_readout = new QLabel(readouts);
  m_readout->setTextFormat(Qt::PlainText);
  m_readout->setMinimumWidth(1);
  m_source = new NamesLabel(readouts);
  layout->addWidget(m_readout);
  layout->addWidget(m_source, 1);
  statusBar()->addWidget(readouts, 1);
  m_loadProgress = new QProgressBar(this);
  m_loadProgress->setRange(0, kLoadProgressSteps);
  m_loadProgress->setMinimumWidth(240);
  m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  m_cancelButton->setFocusPolicy(Qt::NoFocus);  // the plot keeps the keys
  statusBar()->addPermanentWidget(m_loadProgress);
  statusBar()->addPermanentWidget(m_cancelButton);
  m_loadProgress->hide();
  m_cancelButton->hide();
  connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelLoading(); });
  connect(m_plot, &PlotWidget::ReadoutChanged, this, [this](const QString& text) {
    m_readout->setText(text);
    // A message in its place stays until the pointer reads the plot.
    if (!text.isEmpty()) statusBar()->clearMessage();
  });
  m_summary = new SummaryController(*this, *m_plot, m_settings, m_settingsBackend);
  m_library = new LibraryController(
      *this, *m_plot, *m_summary, paths.libraryFile, [this](const QString& text) { Tell(text); },
      [this](const std::filesystem::path& path, std::size_t index,
             const std::optional<std::filesystem::path>& reference) {
        OpenCharge(path, index, reference);
      });
  m_summary->onChosenChanged = [this] { UpdateTitle(); };

  BuildMenus();
  m_followTimer.setInterval(kPollMilliseconds);
  connect(&m_followTimer, &QTimer::timeout, this, [this] { PollJournal(); });
  m_loadTimer.setInterval(kLoadProgressMilliseconds);
  connect(&m_loadTimer, &QTimer::timeout, this, [this] { ShowLoadProgress(); });
  resize(1000, 620);
  UpdateCommands();
}

// The reading thread ends before the window, which receives its result.
ViewerWindow::~ViewerWindow() {
  m_loader.reset();
  m_summary->onChosenChanged = nullptr;
}

bool ViewerWindow::LibraryIdle() const { return m_library->Idle(); }

void ViewerWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Open…"), QKeySequence::Open, this, [this] {
    const std::filesystem::path path = ChooseFile(false, kChargeFiles, {});
    if (!path.empty()) OpenFile(path);
  });
  m_follow = file->addAction(QStringLiteral("&Follow the Running Charge"));
  // Checked while following; choosing it then goes on following.
  m_follow->setCheckable(true);
  connect(m_follow, &QAction::triggered, this, [this] {
    Follow();
    UpdateCommands();
  });
  file->addSeparator();
  file->addAction(QStringLiteral("&Compare with…"), this, [this] { CompareWith(); });
  m_removeReference =
      file->addAction(QStringLiteral("&Remove Reference"), this, [this] { RemoveReference(); });
  file->addSeparator();
  m_library->AddFileCommands(*file);
  file->addSeparator();
  m_exportCsv = file->addAction(QStringLiteral("&Export CSV…"), this, [this] { ExportCsv(false); });
  m_exportViewCsv = file->addAction(QStringLiteral("Export CSV of the &View…"), this,
                                    [this] { ExportCsv(true); });
  m_exportPng = file->addAction(QStringLiteral("Export &PNG…"), this, [this] { ExportPng(); });
  m_exportReport =
      file->addAction(QStringLiteral("Export Repor&t…"), this, [this] { ExportReport(); });
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
  view->addSeparator();
  m_readingInterval = view->addAction(QStringLiteral("&Reading Interval…"), this,
                                      [this] { ChooseReadingIntervals(); });
  m_alignAtPeak = view->addAction(QStringLiteral("Align at the &Peak"));
  m_alignAtPeak->setCheckable(true);
  connect(m_alignAtPeak, &QAction::toggled, this, [this] { UpdatePeaks(); });
  m_summary->AddViewCommands(*view);
  m_library->AddViewCommands(*view);
}

void ViewerWindow::UpdateCommands() {
  const bool times = m_plot->TimesKnown();
  m_timeAxis->setEnabled(times);
  m_timeAxis->setToolTip(times ? QString() : QStringLiteral("The readings' times are not known"));
  {
    // The plot keeps the choice; the check mark shows what it draws.
    const QSignalBlocker blocker(m_timeAxis);
    m_timeAxis->setChecked(m_plot->TimeAxis());
    m_follow->setChecked(m_follower != nullptr);
  }
  const bool chargeUntimed = !m_follower && !m_openedName.isEmpty() && !m_openedTimesOwn;
  m_readingInterval->setEnabled(chargeUntimed || (m_hasReference && !m_referenceTimesOwn));
  m_alignAtPeak->setEnabled(m_hasReference);
  const Charge* shown = m_follower ? &m_follower->GetCharge() : &m_opened;
  const bool any = m_follower || !m_openedName.isEmpty();
  m_exportCsv->setEnabled(any && !shown->counts.empty());
  m_exportViewCsv->setEnabled(any && !shown->counts.empty());
  m_exportPng->setEnabled(any);
  m_exportReport->setEnabled(any && !shown->counts.empty());
  m_removeReference->setEnabled(m_hasReference);
  if (m_follower) {
    ShowFollowState();
    return;
  }
  std::vector<NamesLabel::Part> parts;
  if (!m_openedName.isEmpty()) parts.push_back({FileNameOf(m_openedName), true});
  if (m_openedInterval) parts.push_back({IntervalNote(*m_openedInterval), false});
  AddReferenceParts(parts);
  m_source->SetParts(std::move(parts));
}

void ViewerWindow::AddReferenceParts(std::vector<NamesLabel::Part>& parts) const {
  if (!m_hasReference) return;
  parts.push_back({QString(parts.empty() ? "" : "  ·  ") + QStringLiteral("reference: "), false});
  parts.push_back({FileNameOf(m_referenceName), true});
  if (m_referenceInterval) {
    parts.push_back({IntervalNote(*m_referenceInterval), false});
  } else if (!m_referenceTimesOwn && m_plot->TimeAxis()) {
    parts.push_back({QStringLiteral(" (by sample)"), false});
  }
}

void ViewerWindow::OpenFile(const std::filesystem::path& path) {
  m_chargeToChoose.reset();
  m_referenceToOpen.reset();
  StartLoading(path, LoadFor::kCharge);
}

void ViewerWindow::OpenCharge(const std::filesystem::path& path, std::size_t index,
                              const std::optional<std::filesystem::path>& reference) {
  StartLoading(path, LoadFor::kCharge);
  m_chargeToChoose = index;
  m_referenceToOpen = reference;
}

void ViewerWindow::StartLoading(const std::filesystem::path& path, LoadFor target) {
  // One file at a time: the one asked for last.
  CancelLoading();
  m_loader =
      std::make_unique<ChargeLoader>(path, m_summary->PeakDropMillivolts(), this,
                                     [this, path, target](Result<AnalysedChargeFile> loaded) {
                                       FinishLoading(path, target, std::move(loaded));
                                     });
  m_loadProgress->setFormat((target == LoadFor::kCharge
                                 ? QStringLiteral("Opening %1: %p%")
                                 : QStringLiteral("Reading the reference %1: %p%"))
                                .arg(FileNameOf(QtFromPath(path))));
  m_loadProgress->setValue(0);
  m_loadTimer.start();
}

void ViewerWindow::ShowLoadProgress() {
  if (!m_loader) return;
  m_loadProgress->setValue(static_cast<int>(m_loader->Progress() * kLoadProgressSteps));
  m_loadProgress->show();
  m_cancelButton->show();
}

void ViewerWindow::FinishHeldLoad() {
  if (!m_heldLoad) return;  // cancelled meanwhile
  HeldLoad held = std::move(*m_heldLoad);
  m_heldLoad.reset();
  FinishLoading(held.path, held.target, std::move(held.loaded));
}

void ViewerWindow::CancelLoading() {
  m_heldLoad.reset();
  m_loadTimer.stop();
  m_loadProgress->hide();
  m_cancelButton->hide();
  m_loader.reset();
}

void ViewerWindow::FinishLoading(const std::filesystem::path& path, LoadFor target,
                                 Result<AnalysedChargeFile> loaded) {
  if (m_choosingFile) {
    m_heldLoad.emplace(HeldLoad{path, target, std::move(loaded)});
    return;
  }
  CancelLoading();  // done: the thread has ended
  if (!loaded) {
    Report(QString::fromStdString(loaded.error()) +
           (target == LoadFor::kCharge ? QStringLiteral("\nNothing was opened.")
                                       : QStringLiteral("\nThe reference is unchanged.")));
    return;
  }
  const QString name = QtFromPath(path);
  if (target == LoadFor::kReference) {
    m_reference = std::move(loaded->file.charge);
    m_referenceName = name;
    m_hasReference = true;
    SpaceByInterval(target);
    m_plot->SetReference(&m_reference);
    m_plot->SetTimeAxis(m_wantTimeAxis);
    ShowNames();
    // Readings spaced by a reading interval are judged again on their times.
    m_summary->SetReference(
        &m_reference, FileNameOf(name),
        m_referenceInterval ? std::nullopt : std::make_optional(std::move(loaded->analysis)));
  } else {
    StopFollowing();
    m_opened = std::move(loaded->file.charge);
    m_openedName = name;
    // Registered with the figures judged as read, before a reading interval is given.
    m_library->SetFile(path, &m_opened, loaded->readingsHash, loaded->recordedAt,
                       loaded->analysis.Analyser().AllFigures());
    SpaceByInterval(target);
    ShowCharge(&m_opened);
    m_summary->SetCharge(
        &m_opened, FileNameOf(name),
        m_openedInterval ? std::nullopt : std::make_optional(std::move(loaded->analysis)));
    if (m_chargeToChoose) m_summary->ChooseCharge(static_cast<int>(*m_chargeToChoose));
    m_chargeToChoose.reset();
    UpdateTitle();
    m_lastFolder = FolderOf(path);
    m_settings.WriteSetting(kLastPathSetting, m_lastFolder);
  }
  UpdatePeaks();
  UpdateCommands();
  SayWhyNoTimes();
  if (!loaded->file.notes.empty()) Report(QString::fromStdString(loaded->file.notes));
  if (target == LoadFor::kCharge && m_referenceToOpen) {
    const std::filesystem::path reference = *m_referenceToOpen;
    m_referenceToOpen.reset();
    StartLoading(reference, LoadFor::kReference);
  }
}

void ViewerWindow::Follow() {
  if (m_follower) return;
  CancelLoading();
  m_follower = std::make_unique<JournalFollower>(m_paths.journalFolder / "charge-journal.log",
                                                 m_paths.journalFolder / "charge-journal.times");
  m_library->ClearFile();
  m_summary->SetCharge(nullptr, {});
  m_opened = Charge{};
  m_openedName.clear();
  m_openedInterval.reset();
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
  ShowNames();
}

void ViewerWindow::ShowNames() {
  m_plot->SetNames(m_follower ? QStringLiteral("running charge") : LegendName(m_openedName),
                   m_hasReference ? LegendName(m_referenceName) : QString());
}

void ViewerWindow::StopFollowing() {
  m_followTimer.stop();
  if (m_follower) m_summary->SetCharge(nullptr, {});  // before the charge it reads goes
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
      m_summary->SetCharge(&m_follower->GetCharge(), QStringLiteral("Running charge"));
      break;
    case JournalFollower::Change::kGrew:
      // Times that became known (or unknown) change what the plot can draw.
      if (timesKnown != !m_follower->GetCharge().seconds.empty()) {
        ShowCharge(&m_follower->GetCharge());
      } else {
        m_plot->ChargeGrew();
      }
      m_summary->ChargeGrew();
      break;
    case JournalFollower::Change::kEnded:
    case JournalFollower::Change::kNone:
      break;
  }
  if (change != JournalFollower::Change::kNone) UpdatePeaks();
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
  std::vector<NamesLabel::Part> parts = {{text, false}};
  AddReferenceParts(parts);
  m_source->SetParts(std::move(parts));
}

void ViewerWindow::CompareWith() {
  const std::filesystem::path path = ChooseFile(false, kChargeFiles, {});
  if (!path.empty()) StartLoading(path, LoadFor::kReference);
}

void ViewerWindow::RemoveReference() {
  m_summary->SetReference(nullptr, {});
  m_plot->SetReference(nullptr);
  m_plot->SetTimeAxis(m_wantTimeAxis);
  m_reference = Charge{};
  m_referenceName.clear();
  m_hasReference = false;
  m_referenceInterval.reset();
  ShowNames();
  UpdateCommands();
}

void ViewerWindow::ExportCsv(bool viewOnly) {
  const Charge& charge = m_follower ? m_follower->GetCharge() : m_opened;
  // The range is taken before the dialog: a followed charge may grow while it is open.
  const auto [first, last] = viewOnly
                                 ? m_plot->VisibleSamples()
                                 : std::pair<std::size_t, std::size_t>{0, charge.counts.size()};
  const std::filesystem::path path =
      ChooseFile(true, QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
  if (path.empty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const Result<void> saved = SaveCsvFile(path, charge, first, last);
  QApplication::restoreOverrideCursor();
  if (!saved) {
    Report(QStringLiteral("Could not save %1:\n%2")
               .arg(QtFromPath(path), QString::fromStdString(saved.error())));
  }
}

void ViewerWindow::ExportPng() {
  const QImage image = m_plot->RenderImage(m_plot->size(), m_plot->devicePixelRatioF());
  const std::filesystem::path path =
      ChooseFile(true, QStringLiteral("PNG pictures (*.png)"), QStringLiteral("png"));
  if (path.empty()) return;
  const Result<void> saved = SavePngFile(path, image);
  if (!saved) {
    Report(QStringLiteral("Could not save %1:\n%2")
               .arg(QtFromPath(path), QString::fromStdString(saved.error())));
  }
}

std::filesystem::path ViewerWindow::ChooseFile(bool forSaving, const QString& filter,
                                               const QString& suffix) {
  // Qt's own dialog, as in Ampelon: the same on every platform, and scriptable.
  QFileDialog dialog(this, QStringLiteral("Select Graph LOG File"),
                     QtFromPath(PathFromUtf8(m_lastFolder)));
  if (forSaving) dialog.setWindowTitle(QStringLiteral("Export to File"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters({filter, QStringLiteral("All files (*.*)")});
  dialog.selectNameFilter(filter);
  if (!suffix.isEmpty()) {
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(SuggestedExport(suffix));
  }
  // A followed charge holds still while a file is chosen, so that an export writes the
  // readings that were shown when it was asked for; so does one being read, shown after.
  const PausedTimer paused(m_followTimer);
  m_choosingFile = true;
  const auto chosen = qScopeGuard([this] {
    m_choosingFile = false;
    if (m_heldLoad) QTimer::singleShot(0, this, [this] { FinishHeldLoad(); });
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString name = QDir::toNativeSeparators(dialog.selectedFiles().front());
  const std::filesystem::path path = PathFromQt(name);
  m_lastFolder = FolderOf(path);
  m_settings.WriteSetting(kLastPathSetting, m_lastFolder);
  std::error_code error;
  if (forSaving && std::filesystem::exists(path, error) &&
      !std::filesystem::is_directory(path, error)) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Ampelon Viewer"),
                    QStringLiteral("%1 already exists. Replace it?").arg(name),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes) return {};
  }
  return path;
}

void ViewerWindow::UpdateTitle() {
  if (m_follower) return;
  QString title = QStringLiteral("Ampelon Viewer");
  if (!m_openedName.isEmpty()) {
    const ChargeRecord* record = m_summary->ChosenRecord();
    if (record != nullptr && !record->details.battery.empty()) {
      title = QString::fromStdString(record->details.battery) + QStringLiteral(" — ") + title;
    }
    title = FileNameOf(m_openedName) + QStringLiteral(" — ") + title;
  }
  setWindowTitle(title);
}

void ViewerWindow::Tell(const QString& text) {
  std::fprintf(stderr, "ampelon-viewer: %s\n", qUtf8Printable(text));
  statusBar()->showMessage(text, 30000);
}

void ViewerWindow::Report(const QString& text) {
  // Also on the standard error stream, where it stays readable after the box is closed.
  std::fprintf(stderr, "ampelon-viewer: %s\n", qUtf8Printable(text));
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Ampelon Viewer"), text, QMessageBox::Ok,
                  this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void ViewerWindow::SpaceByInterval(LoadFor target) {
  Charge& charge = target == LoadFor::kCharge ? m_opened : m_reference;
  const QString& name = target == LoadFor::kCharge ? m_openedName : m_referenceName;
  std::optional<double>& interval =
      target == LoadFor::kCharge ? m_openedInterval : m_referenceInterval;
  bool& timesOwn = target == LoadFor::kCharge ? m_openedTimesOwn : m_referenceTimesOwn;
  timesOwn = !charge.seconds.empty();
  interval = timesOwn ? std::nullopt : m_intervals.Of(FileNameOf(name).toStdString());
  if (interval) SpaceReadings(charge, interval);
}

void ViewerWindow::ChooseReadingIntervals() {
  std::vector<IntervalChoice> choices;
  const bool charge = !m_follower && !m_openedName.isEmpty() && !m_openedTimesOwn;
  if (charge) choices.push_back({FileNameOf(m_openedName), m_openedInterval});
  const bool reference = m_hasReference && !m_referenceTimesOwn;
  if (reference) choices.push_back({FileNameOf(m_referenceName), m_referenceInterval});
  if (choices.empty() || !AskReadingIntervals(this, choices)) return;
  for (const IntervalChoice& choice : choices) {
    if (const Result<void> kept =
            m_intervals.Remember(choice.fileName.toStdString(), choice.seconds);
        !kept) {
      Report(QStringLiteral("The reading interval of %1 could not be kept for next time:\n%2")
                 .arg(choice.fileName, QString::fromStdString(kept.error())));
      break;
    }
  }
  if (charge) {
    m_openedInterval = choices.front().seconds;
    SpaceReadings(m_opened, m_openedInterval);
    // Given times, the time axis is what the interval is for.
    if (m_openedInterval) m_wantTimeAxis = true;
    ShowCharge(&m_opened);
    m_summary->SetCharge(&m_opened, FileNameOf(m_openedName));
  }
  if (reference) {
    m_referenceInterval = choices.back().seconds;
    SpaceReadings(m_reference, m_referenceInterval);
    m_plot->SetReference(&m_reference);
    m_summary->SetReference(&m_reference, FileNameOf(m_referenceName));
  }
  m_plot->SetTimeAxis(m_wantTimeAxis);
  UpdatePeaks();
  UpdateCommands();
  SayWhyNoTimes();
}

void ViewerWindow::SayWhyNoTimes() {
  constexpr int kShownMilliseconds = 15000;
  const QString hint = QStringLiteral(" (View > Reading Interval… gives times)");
  QString why;
  if (!m_follower && !m_openedName.isEmpty() && !m_plot->TimesKnown() && m_wantTimeAxis) {
    why = QStringLiteral("%1 has no times: plotted by sample number").arg(FileNameOf(m_openedName));
  } else if (m_hasReference && m_reference.seconds.empty() && m_plot->TimeAxis()) {
    why = QStringLiteral("%1 has no times: drawn by sample number at this charge's pace")
              .arg(FileNameOf(m_referenceName));
  }
  if (!why.isEmpty()) statusBar()->showMessage(why + hint, kShownMilliseconds);
}

void ViewerWindow::UpdatePeaks() {
  if (!m_alignAtPeak->isChecked() || !m_hasReference) {
    m_plot->SetPeaks(std::nullopt);
    return;
  }
  // The summary's analyses are kept up with both as they are read and grow.
  const std::optional<std::size_t> chargePeak = m_summary->ChargePeak();
  const std::optional<std::size_t> referencePeak = m_summary->ReferencePeak();
  if (chargePeak && referencePeak) {
    m_plot->SetPeaks(PeakReadings{*chargePeak, *referencePeak});
    return;
  }
  m_plot->SetPeaks(std::nullopt);
  statusBar()->showMessage(
      QStringLiteral("No peak was found in %1 yet: the reference stays at "
                     "its first reading.")
          .arg(chargePeak ? FileNameOf(m_referenceName) : QStringLiteral("the charge")),
      15000);
}

QString ViewerWindow::SuggestedExport(const QString& suffix) const {
  if (m_follower || m_openedName.isEmpty()) {
    return QtFromPath(PathFromUtf8(m_lastFolder)) + QStringLiteral("running-charge.") + suffix;
  }
  const QFileInfo opened(m_openedName);
  return opened.dir().filePath(opened.completeBaseName() + QLatin1Char('.') + suffix);
}

QString ViewerWindow::LegendName(const QString& path) {
  if (path.isEmpty()) return {};
  const QFileInfo file(path);
  const QDateTime written = file.lastModified();
  return written.isValid() ? file.fileName() + QStringLiteral(", ") +
                                 written.toString(QStringLiteral("yyyy-MM-dd"))
                           : file.fileName();
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (m_loader && watched == m_plot && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    CancelLoading();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void ViewerWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ViewerWindow::dropEvent(QDropEvent* event) {
  const QString file = DroppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  // Not inside the drop: a message box there would keep the dragging program waiting.
  QTimer::singleShot(0, this, [this, file] { OpenFile(PathFromQt(file)); });
}

}  // namespace ampelon
