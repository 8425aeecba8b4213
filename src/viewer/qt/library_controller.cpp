#include "viewer/qt/library_controller.h"

#include <cmath>
#include <memory>
#include <string>
#include <utility>

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>

#include "common/utf8_path.h"
#include "viewer/qt/charge_details_dialog.h"
#include "viewer/qt/history_text.h"
#include "viewer/qt/history_window.h"
#include "viewer/qt/plot_widget.h"
#include "viewer/qt/summary_controller.h"
#include "viewer/qt/summary_panel.h"

namespace ampelon {
namespace {

// The record of the charge that holds `sample` (from 1).
ChargeRecord* RecordHolding(std::vector<ChargeRecord>& records, std::size_t sample) {
  for (ChargeRecord& record : records) {
    if (sample >= record.figures.firstSample && sample <= record.figures.lastSample) {
      return &record;
    }
  }
  return nullptr;
}

PinnedNote* NoteOf(std::vector<ChargeRecord>& records, std::int64_t noteId) {
  for (ChargeRecord& record : records) {
    for (PinnedNote& note : record.notes) {
      if (note.id == noteId) return &note;
    }
  }
  return nullptr;
}

}  // namespace

LibraryController::LibraryController(QMainWindow& window, PlotWidget& plot,
                                     SummaryController& summary, std::filesystem::path libraryFile,
                                     std::function<void(const QString&)> tell, OpenCharge open)
    : QObject(&window),
      m_window(window),
      m_summary(summary),
      m_tell(std::move(tell)),
      m_open(std::move(open)),
      m_worker(std::move(libraryFile), this, [this](const std::string& text) { Problem(text); }) {
  connect(&plot, &PlotWidget::MenuRequested, this,
          [this](QPoint global, std::optional<std::size_t> reading,
                 std::optional<std::int64_t> noteId) { ShowPlotMenu(global, reading, noteId); });
  connect(&summary.Panel(), &SummaryPanel::EditNoteAsked, this,
          [this](qint64 id) { EditNote(id); });
  connect(&summary.Panel(), &SummaryPanel::RemoveNoteAsked, this,
          [this](qint64 id) { RemoveNote(id); });
}

LibraryController::~LibraryController() {
  if (m_history) delete m_history;
}

void LibraryController::AddFileCommands(QMenu& file) {
  m_details = file.addAction(QStringLiteral("Charge &Details…"), this, [this] { EditDetails(); });
  m_details->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  UpdateCommands();
}

void LibraryController::AddViewCommands(QMenu& view) {
  view.addSeparator();
  view.addAction(QStringLiteral("Battery &History…"), this, [this] { ShowHistory(); });
}

void LibraryController::UpdateCommands() {
  if (m_details == nullptr) return;
  const bool known = m_summary.ChosenRecord() != nullptr;
  m_details->setEnabled(known);
  m_details->setToolTip(known ? QString()
                        : m_unusable || !m_worker.Kept()
                            ? QStringLiteral("The charge library cannot be used")
                            : QStringLiteral("Open a graph log first"));
}

void LibraryController::Problem(const std::string& text) {
  m_unusable = m_unusable || text.rfind("The charge library cannot be used", 0) == 0;
  m_tell(QString::fromStdString(text));
  UpdateCommands();
}

void LibraryController::Run(std::function<void(ChargeLibrary&, std::string& failure)> work,
                            std::function<void()> done) {
  auto failure = std::make_shared<std::string>();
  ++m_pending;
  m_worker.Run(
      this, [work = std::move(work), failure](ChargeLibrary& library) { work(library, *failure); },
      [this, file = m_file, failure, done = std::move(done)](const Result<void>& usable) {
        --m_pending;
        if (!usable) return;  // said once, by the worker
        if (!failure->empty()) {
          m_tell(QString::fromStdString(*failure));  // it names the library itself
        } else if (file == m_file && done) {
          done();
        }
        UpdateCommands();
      });
}

void LibraryController::SetFile(const std::filesystem::path& path, const Charge* charge,
                                std::uint64_t readingsHash, std::int64_t recordedAt,
                                std::vector<ChargeFigures> figures) {
  ClearFile();
  m_path = path;
  m_charge = charge;
  if (!m_worker.Kept()) return;
  auto records = std::make_shared<std::vector<ChargeRecord>>();
  Run(
      [records, path = Utf8FromPath(path), readingsHash, recordedAt, figures = std::move(figures)](
          ChargeLibrary& library, std::string& failure) {
        Result<std::vector<ChargeRecord>> registered =
            library.Register(path, readingsHash, recordedAt, figures);
        if (registered) {
          *records = std::move(*registered);
        } else {
          failure = registered.error();
        }
      },
      [this, records] { m_summary.SetRecords(std::move(*records)); });
}

void LibraryController::ClearFile() {
  ++m_file;
  m_path.clear();
  m_charge = nullptr;
  m_summary.SetRecords({});
  UpdateCommands();
}

void LibraryController::EditDetails() {
  if (m_summary.ChosenRecord() == nullptr) return;
  // The names come from the library's thread; the dialog opens once they are there.
  auto names = std::make_shared<std::vector<std::string>>();
  Run(
      [names](ChargeLibrary& library, std::string& failure) {
        Result<std::vector<std::string>> known = library.BatteryNames();
        if (known) {
          *names = std::move(*known);
        } else {
          failure = known.error();
        }
      },
      [this, names] {
        const ChargeRecord* record = m_summary.ChosenRecord();
        if (record == nullptr) return;
        QStringList completions;
        for (const std::string& name : *names) completions << QString::fromStdString(name);
        QString about = QString::fromStdString(Utf8FromPath(m_path.filename()));
        if (m_summary.Records().size() > 1) {
          about += QStringLiteral(", charge %1").arg(record->chargeIndex + 1);
        }
        auto* dialog = new ChargeDetailsDialog(&m_window, about, record->details, completions);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        const std::int64_t id = record->id;
        connect(dialog, &QDialog::accepted, this, [this, dialog, id] {
          // The details as the library keeps them, written on its thread and read on this.
          auto details = std::make_shared<BatteryDetails>(dialog->Details());
          Run(
              [id, details](ChargeLibrary& library, std::string& failure) {
                if (const Result<BatteryDetails> set = library.SetDetails(id, *details); set) {
                  *details = *set;
                } else {
                  failure = set.error();
                }
              },
              [this, id, details] {
                std::vector<ChargeRecord> records = m_summary.Records();
                for (ChargeRecord& record : records) {
                  if (record.id == id) record.details = *details;
                }
                m_summary.SetRecords(std::move(records));
              });
        });
        dialog->open();
      });
}

void LibraryController::AddNote(std::size_t reading) {
  std::vector<ChargeRecord> records = m_summary.Records();
  const ChargeRecord* record = RecordHolding(records, reading + 1);
  if (record == nullptr || m_charge == nullptr || reading >= m_charge->counts.size()) return;
  bool accepted = false;
  const QString text = QInputDialog::getText(
      &m_window, QStringLiteral("Add Note"),
      QStringLiteral("A note at sample %1 (\"cell reseated\", \"fan on\"):").arg(reading + 1),
      QLineEdit::Normal, {}, &accepted);
  if (!accepted || text.trimmed().isEmpty()) return;
  PinnedNote note;
  note.sample = reading + 1;
  if (reading < m_charge->seconds.size() && std::isfinite(m_charge->seconds[reading])) {
    note.seconds = m_charge->seconds[reading];
  }
  note.text = text.trimmed().toStdString();
  const std::int64_t chargeId = record->id;
  auto added = std::make_shared<PinnedNote>(note);
  Run(
      [chargeId, added](ChargeLibrary& library, std::string& failure) {
        const Result<std::int64_t> id = library.AddNote(chargeId, *added);
        if (id) {
          added->id = *id;
        } else {
          failure = id.error();
        }
      },
      [this, chargeId, added] {
        std::vector<ChargeRecord> records = m_summary.Records();
        for (ChargeRecord& record : records) {
          if (record.id != chargeId) continue;
          record.notes.push_back(*added);
          std::stable_sort(record.notes.begin(), record.notes.end(),
                           [](const auto& a, const auto& b) { return a.sample < b.sample; });
        }
        m_summary.SetRecords(std::move(records));
      });
}

void LibraryController::EditNote(std::int64_t noteId) {
  std::vector<ChargeRecord> records = m_summary.Records();
  const PinnedNote* note = NoteOf(records, noteId);
  if (note == nullptr) return;
  bool accepted = false;
  const QString text =
      QInputDialog::getText(&m_window, QStringLiteral("Edit Note"), QStringLiteral("The note:"),
                            QLineEdit::Normal, QString::fromStdString(note->text), &accepted);
  if (!accepted || text.trimmed().isEmpty()) return;
  const std::string changed = text.trimmed().toStdString();
  Run(
      [noteId, changed](ChargeLibrary& library, std::string& failure) {
        if (const Result<void> done = library.UpdateNote(noteId, changed); !done) {
          failure = done.error();
        }
      },
      [this, noteId, changed] {
        std::vector<ChargeRecord> records = m_summary.Records();
        if (PinnedNote* note = NoteOf(records, noteId)) note->text = changed;
        m_summary.SetRecords(std::move(records));
      });
}

void LibraryController::RemoveNote(std::int64_t noteId) {
  Run(
      [noteId](ChargeLibrary& library, std::string& failure) {
        if (const Result<void> done = library.RemoveNote(noteId); !done) failure = done.error();
      },
      [this, noteId] {
        std::vector<ChargeRecord> records = m_summary.Records();
        for (ChargeRecord& record : records) {
          std::erase_if(record.notes, [noteId](const PinnedNote& n) { return n.id == noteId; });
        }
        m_summary.SetRecords(std::move(records));
      });
}

void LibraryController::ShowPlotMenu(const QPoint& global, std::optional<std::size_t> reading,
                                     std::optional<std::int64_t> noteId) {
  QMenu menu(&m_window);
  std::vector<ChargeRecord> records = m_summary.Records();
  QAction* add = menu.addAction(QStringLiteral("&Add Note…"), this, [this, reading] {
    if (reading) AddNote(*reading);
  });
  add->setEnabled(reading && RecordHolding(records, *reading + 1) != nullptr);
  if (!add->isEnabled() && reading) {
    add->setText(m_unusable || !m_worker.Kept()
                     ? QStringLiteral("&Add Note… (the charge library cannot be used)")
                     : QStringLiteral("&Add Note… (the file is not registered yet)"));
  }
  if (noteId) {
    menu.addAction(QStringLiteral("&Edit Note…"), this, [this, id = *noteId] { EditNote(id); });
    menu.addAction(QStringLiteral("&Remove Note"), this, [this, id = *noteId] { RemoveNote(id); });
  }
  menu.exec(global);
}

void LibraryController::ShowHistory() {
  if (!m_history) {
    // Over the viewer's window: closing that ends the program, history and all.
    m_history = new HistoryWindow(m_worker, m_open, &m_window);
    m_history->setAttribute(Qt::WA_DeleteOnClose);
  }
  m_history->show();
  m_history->raise();
  m_history->activateWindow();
  m_history->Reload();
}

}  // namespace ampelon
