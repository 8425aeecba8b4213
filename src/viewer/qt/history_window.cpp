#include "viewer/qt/history_window.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/utf8_path.h"
#include "history/battery_judgement.h"
#include "viewer/qt/history_text.h"
#include "viewer/qt/library_worker.h"
#include "viewer/qt/trend_plot.h"

namespace ampelon {
namespace {

QTableWidget* Table(const QStringList& columns, const QString& name, QWidget* parent) {
  auto* table = new QTableWidget(0, static_cast<int>(columns.size()), parent);
  table->setHorizontalHeaderLabels(columns);
  table->setAccessibleName(name);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setStretchLastSection(true);
  table->setWordWrap(false);
  return table;
}

void Fill(QTableWidget& table, const std::vector<QStringList>& rows) {
  table.setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const QStringList& cells = rows[static_cast<std::size_t>(row)];
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      item->setToolTip(cells[column]);
      table.setItem(row, column, item);
    }
  }
  table.resizeColumnsToContents();
}

}  // namespace

HistoryWindow::HistoryWindow(LibraryWorker& worker, LibraryController::OpenCharge open,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), m_worker(worker), m_open(std::move(open)) {
  setWindowTitle(QStringLiteral("Battery History — Ampelon Viewer"));
  auto* layout = new QVBoxLayout(this);
  auto* splitter = new QSplitter(Qt::Vertical, this);
  m_batteries = Table(BatteryColumns(), QStringLiteral("Batteries"), splitter);
  m_batteries->setSelectionMode(QAbstractItemView::SingleSelection);
  auto* lower = new QWidget(splitter);
  auto* lowerLayout = new QVBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  m_about = new QLabel(lower);
  m_about->setTextFormat(Qt::PlainText);
  m_about->setWordWrap(true);
  lowerLayout->addWidget(m_about);
  m_charges = Table(ChargeColumns(), QStringLiteral("Charges of the battery"), lower);
  m_charges->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lowerLayout->addWidget(m_charges, 1);
  auto* trends = new QHBoxLayout;
  m_peakVolts = new TrendPlot(QStringLiteral("Peak voltage"), QStringLiteral(" V"), 4, lower);
  m_timeToPeak = new TrendPlot(QStringLiteral("Time to peak"), QStringLiteral(" min"), 0, lower);
  m_drop = new TrendPlot(QStringLiteral("Drop after the peak"), QStringLiteral(" mV"), 1, lower);
  trends->addWidget(m_peakVolts);
  trends->addWidget(m_timeToPeak);
  trends->addWidget(m_drop);
  lowerLayout->addLayout(trends, 1);
  auto* buttons = new QHBoxLayout;
  auto* hint = new QLabel(
      QStringLiteral("Double-click a charge to open it; choose two and Open shows the later "
                     "with the earlier behind it as the reference."),
      lower);
  hint->setWordWrap(true);
  m_openButton = new QPushButton(QStringLiteral("&Open"), lower);
  buttons->addWidget(hint, 1);
  buttons->addWidget(m_openButton);
  lowerLayout->addLayout(buttons);
  splitter->addWidget(m_batteries);
  splitter->addWidget(lower);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 3);
  layout->addWidget(splitter);

  connect(m_batteries, &QTableWidget::itemSelectionChanged, this, [this] {
    const int row = m_batteries->currentRow();
    if (row >= 0 && row < static_cast<int>(m_batteryList.size())) {
      LoadCharges(m_batteryList[static_cast<std::size_t>(row)].name);
    }
  });
  connect(m_charges, &QTableWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  connect(m_charges, &QTableWidget::cellDoubleClicked, this, [this] { OpenChosen(false); });
  connect(m_openButton, &QPushButton::clicked, this, [this] { OpenChosen(true); });
  resize(1100, 720);
  UpdateButtons();
}

void HistoryWindow::Reload() {
  auto batteries = std::make_shared<std::vector<BatterySummary>>();
  auto failure = std::make_shared<std::string>();
  m_worker.Run(
      this,
      [batteries, failure](ChargeLibrary& library) {
        Result<std::vector<BatterySummary>> read = library.Batteries();
        if (read) {
          *batteries = std::move(*read);
        } else {
          *failure = read.error();
        }
      },
      [this, batteries, failure](const Result<void>& usable) {
        if (!usable || !failure->empty()) {
          m_about->setText(QStringLiteral("The charge library cannot be read: ") +
                           QString::fromStdString(usable ? *failure : usable.error()));
          return;
        }
        m_batteryList = std::move(*batteries);
        const QLocale locale;
        std::vector<QStringList> rows;
        int chosen = -1;
        for (const BatterySummary& battery : m_batteryList) {
          if (battery.name == m_battery) chosen = static_cast<int>(rows.size());
          rows.push_back(BatteryRow(locale, battery));
        }
        Fill(*m_batteries, rows);
        if (m_batteryList.empty()) {
          m_about->setText(
              QStringLiteral("No charge is kept yet: the charges the viewer opens and Ampelon "
                             "saves are listed here."));
          return;
        }
        m_batteries->selectRow(chosen >= 0 ? chosen : 0);
      });
}

void HistoryWindow::LoadCharges(const std::string& battery) {
  auto charges = std::make_shared<std::vector<ChargeRecord>>();
  auto failure = std::make_shared<std::string>();
  m_worker.Run(
      this,
      [battery, charges, failure](ChargeLibrary& library) {
        Result<std::vector<ChargeRecord>> read = library.ChargesOf(battery);
        if (read) {
          *charges = std::move(*read);
        } else {
          *failure = read.error();
        }
      },
      [this, battery, charges, failure](const Result<void>& usable) {
        if (!usable || !failure->empty()) {
          m_about->setText(QStringLiteral("The charges of %1 cannot be read: %2")
                               .arg(BatteryNameText(battery),
                                    QString::fromStdString(usable ? *failure : usable.error())));
          return;
        }
        ShowCharges(battery, std::move(*charges));
      });
}

void HistoryWindow::ShowCharges(const std::string& battery, std::vector<ChargeRecord> charges) {
  m_battery = battery;
  m_chargeList = std::move(charges);
  const QLocale locale;
  std::vector<QStringList> rows;
  std::vector<TrendPlot::Point> peaks;
  std::vector<TrendPlot::Point> times;
  std::vector<TrendPlot::Point> drops;
  for (const ChargeRecord& charge : m_chargeList) {
    rows.push_back(ChargeRow(locale, charge));
    peaks.push_back({charge.recordedAt, charge.figures.peakVolts});
    if (charge.figures.peakSeconds) {
      times.push_back({charge.recordedAt, *charge.figures.peakSeconds / 60});
    }
    // A drop is only told once a charge has passed its peak.
    if (charge.figures.end == ChargeEnd::kPeakPassed) {
      drops.push_back({charge.recordedAt, charge.figures.dropMillivolts});
    }
  }
  Fill(*m_charges, rows);
  m_peakVolts->SetPoints(std::move(peaks));
  m_timeToPeak->SetPoints(std::move(times));
  m_drop->SetPoints(std::move(drops));
  m_about->setText(BatteryNameText(battery) + QStringLiteral(": ") +
                   QString::fromStdString(JudgeBatteryNamed(battery, m_chargeList)));
  UpdateButtons();
}

void HistoryWindow::UpdateButtons() {
  const int chosen = static_cast<int>(m_charges->selectionModel()->selectedRows().size());
  m_openButton->setEnabled(chosen == 1 || chosen == 2);
  m_openButton->setText(chosen == 2 ? QStringLiteral("&Open with Reference")
                                    : QStringLiteral("&Open"));
}

void HistoryWindow::OpenChosen(bool withReference) {
  const auto recordAt = [this](int row) -> const ChargeRecord* {
    return row >= 0 && row < static_cast<int>(m_chargeList.size())
               ? &m_chargeList[static_cast<std::size_t>(row)]
               : nullptr;
  };
  const ChargeRecord* charge = recordAt(m_charges->currentRow());
  std::optional<std::filesystem::path> reference;
  const QModelIndexList rows = m_charges->selectionModel()->selectedRows();
  if (withReference && rows.size() == 2) {
    // The later charge (the rows go by date) against the earlier one.
    const int first = std::min(rows[0].row(), rows[1].row());
    const int second = std::max(rows[0].row(), rows[1].row());
    charge = recordAt(second);
    if (const ChargeRecord* earlier = recordAt(first)) reference = PathFromUtf8(earlier->path);
  }
  if (charge == nullptr) return;
  m_open(PathFromUtf8(charge->path), charge->chargeIndex, reference);
}

}  // namespace ampelon
