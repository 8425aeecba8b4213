#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/result.h"

namespace ampelon {

// A journal of an earlier run whose readings were never saved, set aside under a name of its own.
struct RecoveredJournal {
  std::size_t readings = 0;
  std::string chargeTime;  // when its last reading was written, "2026-12-07 16:30"
  std::filesystem::path path;
};

// How many recovered journals are kept; older ones are removed.
inline constexpr std::size_t kRecoveredJournalsKept = 5;

// At start-up, before this run writes a journal: a journal in `folder` that holds unsaved
// readings is renamed "recovered-<date>-<time>.log", its times "recovered-<date>-<time>.times",
// each cut to its complete lines (the times to as many as the readings); one with nothing to
// recover is removed. Nothing when there was no such journal. A failure to rename leaves the
// old journal where it was.
Result<std::optional<RecoveredJournal>> RecoverJournal(const std::filesystem::path& folder);

}  // namespace ampelon
