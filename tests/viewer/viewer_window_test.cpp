#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include <SQLiteCpp/Database.h>
#include "charger/charge_curve.h"
#include "fakes/fake_settings_backend.h"

#include "history/charge_library.h"
#include "settings/settings_store.h"
#include "viewer/charge_analysis.h"
#include "viewer/charge_file.h"
#include "viewer/qt/charge_details_dialog.h"
#include "viewer/qt/history_window.h"
#include "viewer/qt/library_controller.h"
#include "viewer/qt/plot_widget.h"
#include "viewer/qt/summary_controller.h"
#include "viewer/qt/summary_panel.h"
#include "viewer/qt/viewer_window.h"

namespace ampelon {
namespace {

void WaitWhileLoading(const ViewerWindow& window) {
  while (window.Loading()) QCoreApplication::processEvents();
}

// Its name is shown as written, not taken for HTML.
TEST(ViewerWindow, ADroppedGraphLogIsOpened) {
  QTemporaryDir folder;
  const QString log = folder.filePath(QStringLiteral("<b>dropped<b>.log"));
  std::ofstream(log.toStdString(), std::ios::binary) << "1\r\n2\r\n";
  ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                       folder.filePath(QStringLiteral("state")).toStdString(),
                       "",
                       {}});
  window.show();  // the file names take the room the status bar has
  window.Follow();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(log)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &drop);
  EXPECT_TRUE(drop.isAccepted());
  QCoreApplication::processEvents();  // opened just after the drop, not inside it
  WaitWhileLoading(window);
  EXPECT_EQ(window.windowTitle().toStdString(), "<b>dropped<b>.log — Ampelon Viewer");
  const QList<QLabel*> labels = window.statusBar()->findChildren<QLabel*>();
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
    return label->text() == QStringLiteral("<b>dropped<b>.log") &&
           label->textFormat() == Qt::PlainText;
  }));
}

// A graph log is read on a thread of its own. Stopped by Escape (which otherwise clears the
// markers) or by the status bar's Cancel button, it changes nothing shown, also when its
// reading had ended before.
TEST(ViewerWindow, ACancelledOpeningLeavesTheChargeShown) {
  QTemporaryDir folder;
  const auto log = [&](const char* name, const char* text) {
    const QString path = folder.filePath(QString::fromUtf8(name));
    std::ofstream(path.toStdString(), std::ios::binary) << text;
    return std::filesystem::path(path.toStdString());
  };
  ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                       folder.filePath(QStringLiteral("state")).toStdString(),
                       "",
                       {}});
  window.OpenFile(log("shown.log", "1\r\n2\r\n"));
  WaitWhileLoading(window);
  ASSERT_EQ(window.windowTitle().toStdString(), "shown.log — Ampelon Viewer");
  const std::filesystem::path other = log("other.log", "3\r\n");
  const std::function<void()> cancels[] = {
      [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(window.centralWidget(), &escape);
      },
      [&] { window.findChild<QPushButton*>()->click(); },
  };
  for (const auto& cancel : cancels) {
    window.OpenFile(other);
    EXPECT_TRUE(window.Loading());
    QThread::msleep(50);  // read by now, most likely: its result waiting to be shown is dropped
    cancel();
    EXPECT_FALSE(window.Loading());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.windowTitle().toStdString(), "shown.log — Ampelon Viewer");
  }
}

// Rising to its peak at reading `peak`, then falling.
std::filesystem::path WriteCharge(const QTemporaryDir& folder, const char* name, int readings,
                                  bool times, int peak = 1 << 30) {
  const std::string path = folder.filePath(QString::fromUtf8(name)).toStdString();
  std::ofstream log(path, std::ios::binary);
  std::ofstream timesFile(times ? TimesFileFor(path) : std::string(), std::ios::binary);
  for (int i = 0; i < readings; ++i) {
    log << 2000 + std::min(i, peak) / 40 - std::max(0, i - peak) / 10 << "\r\n";
    if (times) timesFile << i << ".000\r\n";
  }
  return path;
}

QAction* Command(const ViewerWindow& window, const char* text) {
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->text() == QString::fromUtf8(text)) return action;
  }
  return nullptr;
}

// Runs `act` on the dialog the next command opens, once it is shown.
void OnDialog(const std::function<void(QDialog&)>& act) {
  QTimer::singleShot(0, [act] { act(*qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
}

// At 800 pixels, with both markers and a reference, the read-out is whole: the file names give
// way.
TEST(ViewerWindow, TheReadoutFitsAt800PixelsWithBothMarkersAndAReference) {
  QTemporaryDir folder;
  ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                       folder.filePath(QStringLiteral("state")).toStdString(),
                       "",
                       {}});
  window.resize(800, 600);
  window.show();
  Command(window, "&Summary")->trigger();  // the plot the whole width: the values below
  window.OpenFile(
      WriteCharge(folder, "a charge of two hours and more, kept.log", 9000, true, 8000));
  WaitWhileLoading(window);
  Command(window, "&Time Axis")->trigger();
  const std::filesystem::path reference =
      WriteCharge(folder, "the same battery last week.log", 9000, false, 7000);
  OnDialog([&](QDialog& dialog) {
    qobject_cast<QFileDialog*>(&dialog)->selectFile(QString::fromStdString(reference.string()));
    dialog.accept();
  });
  Command(window, "&Compare with…")->trigger();
  WaitWhileLoading(window);
  QWidget* plot = window.centralWidget();
  for (const double at : {0.3, 0.6, 0.75}) {
    const QPointF point(plot->width() * at, plot->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, point, plot->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &move);
    if (at == 0.75) break;
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent click(type, point, plot->mapToGlobal(point), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QCoreApplication::sendEvent(plot, &click);
    }
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(window.width(), 800);
  const QList<QLabel*> labels = window.statusBar()->findChildren<QLabel*>();
  const auto readout = std::find_if(labels.begin(), labels.end(), [](const QLabel* label) {
    return label->text().startsWith(QStringLiteral("sample "));
  });
  ASSERT_NE(readout, labels.end());
  const QString text = (*readout)->text();
  EXPECT_TRUE(text.contains(QStringLiteral("reference")) && text.contains(QStringLiteral("A→B")) &&
              text.contains(QStringLiteral("mV/min")))
      << text.toStdString();
  EXPECT_GE((*readout)->contentsRect().width(), (*readout)->fontMetrics().horizontalAdvance(text))
      << text.toStdString();
  // Alike up to their peaks, a thousand readings apart: aligned there, the reference reads as it
  // did a thousand readings earlier.
  EXPECT_TRUE(text.contains(QStringLiteral("reference 1.3236 V, +0.0 mV"))) << text.toStdString();
  Command(window, "Align at the &Peak")->trigger();
  EXPECT_TRUE((*readout)->text().contains(QStringLiteral("reference 1.3199 V")))
      << (*readout)->text().toStdString();
}

// The check mark tells that the running charge is followed; an export offers the charge's name
// in its folder; a picture's legend names the file and its date; a reading interval gives a file
// without times a time axis, and is kept for it.
TEST(ViewerWindow, CommandsShowWhatTheyDoAndRememberIntervals) {
  QTemporaryDir folder;
  const ViewerWindow::Paths paths{folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                                  folder.filePath(QStringLiteral("state")).toStdString(),
                                  "",
                                  {}};
  const std::filesystem::path log = WriteCharge(folder, "charge.log", 400, false);
  QFile file(QString::fromStdString(log.string()));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
              file.setFileTime(QDateTime(QDate(2024, 5, 1), QTime(12, 0)),
                               QFileDevice::FileModificationTime));
  file.close();
  EXPECT_EQ(ViewerWindow::LegendName(file.fileName()), "charge.log, 2024-05-01");
  ViewerWindow window(paths);
  window.Follow();
  EXPECT_TRUE(Command(window, "&Follow the Running Charge")->isChecked());
  window.OpenFile(log);
  WaitWhileLoading(window);
  EXPECT_FALSE(Command(window, "&Follow the Running Charge")->isChecked());
  for (const char* command : {"&Export CSV…", "Export &PNG…"}) {
    QStringList offered;
    OnDialog([&](QDialog& dialog) {
      offered = qobject_cast<QFileDialog*>(&dialog)->selectedFiles();
      dialog.reject();
    });
    Command(window, command)->trigger();
    EXPECT_EQ(offered, QStringList{folder.filePath(QString::fromUtf8(command).contains("CSV")
                                                       ? QStringLiteral("charge.csv")
                                                       : QStringLiteral("charge.png"))})
        << command;
  }
  EXPECT_FALSE(Command(window, "&Time Axis")->isEnabled());
  OnDialog([](QDialog& dialog) {
    dialog.findChild<QDoubleSpinBox*>()->setValue(2);
    dialog.accept();
  });
  Command(window, "&Reading Interval…")->trigger();
  EXPECT_TRUE(Command(window, "&Time Axis")->isChecked());
  ViewerWindow again(paths);
  again.OpenFile(log);
  WaitWhileLoading(again);
  // The summary judges the readings on the times the interval gave, as read and as given.
  for (const ViewerWindow* shown : {&window, &again}) {
    EXPECT_TRUE(Command(*shown, "&Time Axis")->isEnabled());
    const QString summary = shown->findChild<SummaryPanel*>()->Text();
    EXPECT_TRUE(summary.contains(QStringLiteral("Duration: 13:18"))) << summary.toStdString();
  }
}

// The simulated charger's curve for `seconds`, a reading every two seconds from `start`.
void AddCurve(Charge& charge, double seconds, double start) {
  for (double t = 0; t <= seconds; t += 2) {
    charge.counts.push_back(static_cast<std::int16_t>(ChargeCurve::Counts(ChargeCurve::Volts(t)) +
                                                      (charge.counts.size() % 3 == 0 ? 1 : 0)));
    charge.seconds.push_back(start + t);
  }
}

// Two charges in one log (a battery changed), a reference beside them, the summary of the one
// chosen and the -dV threshold, kept in the viewer's settings.
TEST(SummaryController, SummarisesTheChargeChosenAgainstTheReference) {
  Charge charge;
  AddCurve(charge, ChargeCurve::kEndSeconds, 0);
  const std::size_t first = charge.counts.size();
  AddCurve(charge, 3600, ChargeCurve::kEndSeconds + 2);
  Charge reference;
  AddCurve(reference, ChargeCurve::kEndSeconds - 600, 0);
  QMainWindow window;
  PlotWidget* plot = new PlotWidget(&window);
  window.setCentralWidget(plot);
  window.resize(1000, 600);
  window.show();
  testing::FakeSettingsBackend backend;
  SettingsStore settings(backend);
  SummaryController summary(window, *plot, settings, backend);
  QMenu view;
  summary.AddViewCommands(view);
  plot->SetCharge(&charge);
  summary.SetCharge(&charge, QStringLiteral("charge.log"));
  summary.SetReference(&reference, QStringLiteral("ref.log"));
  const auto text = [&] { return summary.Panel().Text().toStdString(); };
  // The last charge at first: the one a followed log is recording.
  EXPECT_NE(text().find("charge.log, Charge 2 of 2: samples 4952 to 6752\nStart: "),
            std::string::npos)
      << text();
  EXPECT_NE(text().find("End: rising (no end found)"), std::string::npos);
  EXPECT_NE(text().find("In view, samples 1 to 6752:\nLowest: "), std::string::npos);
  summary.Panel().findChild<QComboBox*>()->setCurrentIndex(0);
  EXPECT_NE(text().find("End: peak-passed at 2:3"), std::string::npos) << text();
  EXPECT_NE(text().find("Reference: ref.log\n"), std::string::npos);
  // The reference ends 10 minutes sooner, its fall cut short.
  EXPECT_NE(text().find("Charge against the reference:\nPeak voltage: "), std::string::npos);
  EXPECT_NE(text().find("Duration: +10:00"), std::string::npos) << text();
  EXPECT_NE(text().find("In view, samples 1 to 4951:"), std::string::npos) << text();
  EXPECT_NE(plot->accessibleDescription().indexOf(QStringLiteral("End: peak-passed")), -1)
      << plot->accessibleDescription().toStdString();
  EXPECT_EQ(plot->VisibleSamples(), (std::pair<std::size_t, std::size_t>{0, first}));
  // Between the markers, the statistics of what lies between them.
  for (const double share : {0.3, 0.6}) {
    const QPointF at(plot->width() * share, plot->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &move);
    QMouseEvent press(QEvent::MouseButtonPress, at, plot->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, plot->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &press);
    QCoreApplication::sendEvent(plot, &release);
  }
  EXPECT_NE(text().find("Between the markers, samples "), std::string::npos) << text();
  EXPECT_NE(plot->accessibleDescription().indexOf(QStringLiteral("Pointer: sample ")), -1)
      << plot->accessibleDescription().toStdString();
  // The curve falls 8 mV after its peak: no end with a threshold of 10.
  summary.SetPeakDrop(10);
  EXPECT_NE(text().find("End: rising (no end found)"), std::string::npos) << text();
  EXPECT_EQ(backend.Text("Peak Drop mV"), "10");
  for (QAction* action : view.actions()) {
    if (action->text() == QStringLiteral("&Summary")) action->trigger();
  }
  EXPECT_FALSE(summary.Panel().isVisibleTo(&window));
  EXPECT_EQ(backend.Text("Summary Shown"), "0");
  // The slope needs the readings' times.
  const auto slope = [&] {
    for (QAction* action : view.actions()) {
      if (action->text() == QStringLiteral("S&lope")) return action->isEnabled();
    }
    return false;
  };
  EXPECT_TRUE(slope());
  Charge untimed = charge;
  untimed.seconds.clear();
  summary.SetCharge(&untimed, QStringLiteral("untimed.log"));
  EXPECT_FALSE(slope());
}

// Followed, the running charge is judged as the journal grows: its peak passed once the fall
// after it has been recorded.
TEST(ViewerWindow, TheRunningChargeIsJudgedAsItGrows) {
  QTemporaryDir folder;
  const std::filesystem::path state = folder.filePath(QStringLiteral("state")).toStdString();
  std::filesystem::create_directories(state);
  Charge charge;
  AddCurve(charge, ChargeCurve::kEndSeconds, 0);
  const auto record = [&](std::size_t first, std::size_t last) {
    std::ofstream log(state / "charge-journal.log", std::ios::binary | std::ios::app);
    std::ofstream times(state / "charge-journal.times", std::ios::binary | std::ios::app);
    for (std::size_t i = first; i < last; ++i) {
      log << charge.counts[i] << "\r\n";
      times << charge.seconds[i] << "\r\n";
    }
  };
  record(0, 4000);
  ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(), state, "", {}});
  window.Follow();
  const SummaryPanel* panel = window.findChild<SummaryPanel*>();
  EXPECT_TRUE(panel->Text().startsWith(QStringLiteral("Running charge\n")))
      << panel->Text().toStdString();
  EXPECT_TRUE(panel->Text().contains(QStringLiteral("End: rising")));
  record(4000, charge.counts.size());
  QElapsedTimer waited;
  waited.start();
  while (!panel->Text().contains(QStringLiteral("End: peak-passed")) && waited.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  EXPECT_TRUE(panel->Text().contains(QStringLiteral("End: peak-passed at 2:3")))
      << panel->Text().toStdString();
  // A file opened meanwhile: the summary lets go of the followed charge before it goes.
  const std::filesystem::path opened = folder.filePath(QStringLiteral("opened.log")).toStdString();
  std::ofstream(opened, std::ios::binary) << "2000\r\n2001\r\n";
  window.OpenFile(opened);
  WaitWhileLoading(window);
  EXPECT_TRUE(panel->Text().startsWith(QStringLiteral("opened.log: 2 readings, too few")))
      << panel->Text().toStdString();
}

void WaitForLibrary(const ViewerWindow& window) {
  WaitWhileLoading(window);
  while (!window.LibraryIdle()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  QCoreApplication::processEvents();
}

// Every file opened is registered off the window's thread; a library that cannot be used (its
// folder is a file) is said once in the status bar, whatever is opened after, and never in a
// dialog: the charge is shown all the same.
TEST(ViewerWindow, OpenedFilesAreKeptInTheLibraryOrSaidOnceWhyNot) {
  QTemporaryDir folder;
  std::ofstream(folder.filePath(QStringLiteral("blocked")).toStdString()) << "a file";
  const struct {
    const char* library;
    bool kept;
    int messages;
  } cases[] = {{"library/charges.sqlite", true, 0}, {"blocked/charges.sqlite", false, 1}};
  const std::filesystem::path logs[] = {WriteCharge(folder, "first.log", 400, true, 300),
                                        WriteCharge(folder, "second.log", 500, false)};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.library);
    const std::filesystem::path library =
        folder.filePath(QString::fromUtf8(c.library)).toStdString();
    ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                         folder.filePath(QStringLiteral("state")).toStdString(), "", library});
    int messages = 0;
    QObject::connect(window.statusBar(), &QStatusBar::messageChanged, [&](const QString& text) {
      messages += text.contains(QStringLiteral("charge library")) ? 1 : 0;
    });
    QTimer noDialog;
    QObject::connect(&noDialog, &QTimer::timeout, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "a dialog: " << modal->windowTitle().toStdString();
        modal->close();
      }
    });
    noDialog.start(20);
    for (const std::filesystem::path& log : logs) {
      window.OpenFile(log);
      WaitForLibrary(window);
      EXPECT_EQ(window.windowTitle().toStdString(), log.filename().string() + " — Ampelon Viewer");
    }
    EXPECT_EQ(messages, c.messages);
    if (!c.kept) continue;
    Result<ChargeLibrary> kept = ChargeLibrary::Open(library);
    ASSERT_TRUE(kept) << kept.error();
    for (const std::filesystem::path& log : logs) {
      const Result<AnalysedChargeFile> read = LoadAnalysedChargeFile(log, 5);
      const auto found = kept->Find(read->readingsHash, 0);
      ASSERT_TRUE(found && *found) << log;
      EXPECT_EQ((*found)->path, log.string());
    }
  }
}

// Another program writing to the library holds up the registration, never the window: the
// charge is shown at once and registered once the other lets go.
TEST(ViewerWindow, ALibraryBusyWithAnotherWriterHoldsUpNothingShown) {
  QTemporaryDir folder;
  const std::filesystem::path library =
      folder.filePath(QStringLiteral("charges.sqlite")).toStdString();
  ASSERT_TRUE(ChargeLibrary::Open(library));
  SQLite::Database other(library.string(), SQLite::OPEN_READWRITE);
  other.exec("BEGIN EXCLUSIVE");
  ViewerWindow window({folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                       folder.filePath(QStringLiteral("state")).toStdString(), "", library});
  const std::filesystem::path log = WriteCharge(folder, "busy.log", 400, true, 300);
  window.OpenFile(log);
  WaitWhileLoading(window);
  EXPECT_EQ(window.windowTitle().toStdString(), "busy.log — Ampelon Viewer");
  EXPECT_FALSE(window.LibraryIdle());
  other.exec("COMMIT");
  WaitForLibrary(window);
  const Result<AnalysedChargeFile> read = LoadAnalysedChargeFile(log, 5);
  const auto found = ChargeLibrary::Open(library)->Find(read->readingsHash, 0);
  ASSERT_TRUE(found && *found);
}

// The details given in File > Charge Details… and a note pinned to a reading are shown in the
// title and the summary, kept in the library for the next time the file is opened, and the
// note can be changed and removed.
TEST(ViewerWindow, DetailsAndNotesAreShownAndKept) {
  QTemporaryDir folder;
  const std::filesystem::path log = WriteCharge(folder, "charge.log", 1500, true, 1000);
  const ViewerWindow::Paths paths{folder.filePath(QStringLiteral("viewer.ini")).toStdString(),
                                  folder.filePath(QStringLiteral("state")).toStdString(), "",
                                  folder.filePath(QStringLiteral("charges.sqlite")).toStdString()};
  const auto notes = [](const ViewerWindow& window) {
    QStringList texts;
    const QListWidget* list = window.findChild<SummaryPanel*>()->findChild<QListWidget*>();
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
  };
  const auto typeNote = [](const char* text) {
    QTimer::singleShot(0, [text] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      dialog->setTextValue(QString::fromUtf8(text));
      dialog->accept();
    });
  };
  {  // another charge of the battery, named before: a name typed otherwise joins it
    Result<ChargeLibrary> library = ChargeLibrary::Open(paths.libraryFile);
    const auto other = library->Register("/logs/other.log", 1, 0, {{}});
    ASSERT_TRUE(library->SetDetails(other->front().id, {"AA 3", {}, {}, {}, ""}));
  }
  {
    ViewerWindow window(paths);
    window.OpenFile(log);
    WaitForLibrary(window);
    Command(window, "Charge &Details…")->trigger();
    WaitForLibrary(window);  // the names used before are read first
    auto* dialog = window.findChild<ChargeDetailsDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>()->setText(QStringLiteral("  aa  3 "));
    for (QSpinBox* box : dialog->findChildren<QSpinBox*>()) {
      box->setValue(box->suffix() == QStringLiteral(" mA") ? 1200 : 2000);
    }
    dialog->accept();
    WaitForLibrary(window);
    EXPECT_EQ(window.windowTitle().toStdString(), "charge.log — AA 3 — Ampelon Viewer");
    const QString summary = window.findChild<SummaryPanel*>()->Text();
    EXPECT_TRUE(summary.contains(QStringLiteral("Battery: AA 3 (2,000 mAh rated)")) ||
                summary.contains(QStringLiteral("Battery: AA 3 (2000 mAh rated)")))
        << summary.toStdString();
    // 1200 mA for the 1000 s to the peak (its smoothed peak lies a few readings off).
    EXPECT_TRUE(summary.contains(QStringLiteral("Charge put in to the peak: about 33")))
        << summary.toStdString();

    LibraryController* library = nullptr;
    for (QObject* child : window.findChildren<QObject*>()) {
      if (auto* found = dynamic_cast<LibraryController*>(child)) library = found;
    }
    ASSERT_NE(library, nullptr);
    typeNote("fan on");
    library->AddNote(599);
    WaitForLibrary(window);
    EXPECT_EQ(notes(window), QStringList{QStringLiteral("9:59  fan on")});
    const Result<AnalysedChargeFile> read = LoadAnalysedChargeFile(log, 5);
    const std::int64_t noteId =
        ChargeLibrary::Open(paths.libraryFile)->Find(read->readingsHash, 0)->value().notes.at(0).id;
    typeNote("fan off");
    library->EditNote(noteId);
    WaitForLibrary(window);
    EXPECT_EQ(notes(window), QStringList{QStringLiteral("9:59  fan off")});
    typeNote("cell reseated");
    library->AddNote(99);
    WaitForLibrary(window);
    library->RemoveNote(noteId);
    WaitForLibrary(window);
  }
  ViewerWindow again(paths);
  again.OpenFile(log);
  WaitForLibrary(again);
  EXPECT_EQ(again.windowTitle().toStdString(), "charge.log — AA 3 — Ampelon Viewer");
  EXPECT_EQ(notes(again), QStringList{QStringLiteral("1:39  cell reseated")});
}

// The history lists the battery with its judgement and its charges by date; a double-click
// opens the charge, and two chosen open the later against the earlier.
TEST(HistoryWindow, ListsABatterysChargesAndOpensThemAloneOrWithAReference) {
  QTemporaryDir folder;
  const std::filesystem::path file =
      folder.filePath(QStringLiteral("charges.sqlite")).toStdString();
  {
    Result<ChargeLibrary> library = ChargeLibrary::Open(file);
    ASSERT_TRUE(library) << library.error();
    for (int i = 0; i < 3; ++i) {
      ChargeFigures figures;
      figures.end = ChargeEnd::kPeakPassed;
      figures.peakSeconds = 7200 - 1200 * i;
      const auto records = library->Register("/logs/" + std::to_string(i) + ".log", 50 + i,
                                             1767225600 + 86400 * i, {figures});
      ASSERT_TRUE(records) << records.error();
      ASSERT_TRUE(library->SetDetails(records->front().id, {"AA 7", Chemistry::kNiCd, {}, {}, ""}));
    }
    ASSERT_TRUE(library->Register("/logs/unnamed.log", 60, 1767225600, {{}}));
  }
  QObject receiver;
  LibraryWorker worker(file, &receiver,
                       [](const std::string& problem) { ADD_FAILURE() << problem; });
  std::vector<std::pair<std::string, std::optional<std::string>>> opened;
  HistoryWindow window(worker, [&](const std::filesystem::path& path, std::size_t index,
                                   const std::optional<std::filesystem::path>& reference) {
    EXPECT_EQ(index, 0u);
    opened.emplace_back(path.string(),
                        reference ? std::make_optional(reference->string()) : std::nullopt);
  });
  window.Reload();
  const auto table = [&](const char* name) {
    for (QTableWidget* found : window.findChildren<QTableWidget*>()) {
      if (found->accessibleName() == QString::fromUtf8(name)) return found;
    }
    return static_cast<QTableWidget*>(nullptr);
  };
  QTableWidget& batteries = *table("Batteries");
  QTableWidget& charges = *table("Charges of the battery");
  QElapsedTimer waited;
  waited.start();
  while (charges.rowCount() < 3 && waited.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  ASSERT_EQ(charges.rowCount(), 3);
  EXPECT_EQ(batteries.item(0, 0)->text(), QStringLiteral("AA 7"));
  EXPECT_EQ(batteries.item(1, 0)->text(), QStringLiteral("(no name)"));
  EXPECT_TRUE(batteries.item(0, 4)->text().contains(QStringLiteral("shorter")))
      << batteries.item(0, 4)->text().toStdString();
  EXPECT_EQ(charges.item(2, 4)->text(), QStringLiteral("1:20:00"));
  charges.selectRow(1);
  emit charges.cellDoubleClicked(1, 0);
  charges.setSelectionMode(QAbstractItemView::MultiSelection);
  charges.clearSelection();
  charges.selectRow(2);
  charges.selectRow(0);
  window.findChild<QPushButton*>()->click();
  const std::vector<std::pair<std::string, std::optional<std::string>>> expected = {
      {"/logs/1.log", std::nullopt}, {"/logs/2.log", "/logs/0.log"}};
  EXPECT_EQ(opened, expected);
}

}  // namespace
}  // namespace ampelon
