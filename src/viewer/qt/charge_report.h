#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QLocale>
#include <QPageSize>
#include <QString>

#include "analysis/charge_figures.h"
#include "common/result.h"
#include "history/charge_record.h"
#include "viewer/charge.h"

namespace ampelon {

// Everything the one-page charge report shows.
struct ChargeReport {
  QString fileName;  // the title
  const Charge* charge = nullptr;
  const Charge* reference = nullptr;  // shown behind the charge where not null
  QString chargeName;                 // the legend's names ("charge.log, 2026-05-01")
  QString referenceName;
  bool timeAxis = false;
  // Every charge in the file as the analysis found them, and the one reported on.
  std::vector<ChargeFigures> charges;
  std::size_t chosen = 0;
  std::optional<ChargeFigures> referenceFigures;  // compared with where given
  double peakDropMillivolts = 0;
  // From the charge library: this charge's record (details and notes) where it is known there,
  // and its battery's charges by date with their judgement.
  std::optional<ChargeRecord> record;
  std::vector<ChargeRecord> batteryCharges;
  std::string judgement;
  std::string libraryProblem;  // why the library could not be read, said on the page
};

// Adds what this user's charge library knows of the reported charge (its record, its battery's
// charges and their judgement), or why it could not be read. A few indexed look-ups.
void AddLibraryHistory(ChargeReport& report);

// A4, or Letter where `locale` measures in US units.
QPageSize ReportPageSize(const QLocale& locale);

// The report as a PDF of one page of `pageSize`, its texts in `locale`. Needs a QGuiApplication.
QByteArray DrawChargeReport(const ChargeReport& report, const QPageSize& pageSize,
                            const QLocale& locale);

// The report written at `path` as the other exports are: swapped in only when complete.
Result<void> SaveChargeReport(const std::filesystem::path& path, const ChargeReport& report,
                              const QLocale& locale);

}  // namespace ampelon
