#pragma once

#include <chrono>
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

// A recovered journal holds a charge nobody saved: one goes only when it is older than this
// and at least kRecoveredJournalsKept newer ones stay.
inline constexpr std::chrono::days kRecoveredJournalsKeptDays{30};
inline constexpr std::size_t kRecoveredJournalsKept = 5;

// At start-up, before this run writes a journal: a journal in `folder` that holds unsaved
// readings is renamed "recovered-<date>-<time>.log", its times "recovered-<date>-<time>.times",
// each cut to its complete lines (the times to as many as the readings); one with nothing to
// recover is removed. Nothing when there was no such journal. A failure to rename leaves the
// old journal where it was; a failure after the readings were renamed names where they are.
Result<std::optional<RecoveredJournal>> RecoverJournal(const std::filesystem::path& folder);

// Removes the recovered journals in `folder` (each with its times) that were last written more
// than kRecoveredJournalsKeptDays before `now` and are not among the kRecoveredJournalsKept
// newest; `setAside`, the one the user has just been told of, stays whatever its age. One dated
// after `now` counts as new. One that cannot be removed stays.
void PruneRecoveredJournals(const std::filesystem::path& folder,
                            const std::filesystem::path& setAside,
                            std::filesystem::file_time_type now);

}  // namespace ampelon
