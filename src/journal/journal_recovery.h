#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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
// recover is removed. Nothing when there was no such journal. Before anything moves, its name
// joins the untold marker (RecoveryJournal::kUntoldMarkerName), where it stays until
// MarkTold(). A failure to rename leaves the old journal where it was; a failure after the
// readings were renamed names where they are.
Result<std::optional<RecoveredJournal>> RecoverJournal(const std::filesystem::path& folder);

// At start-up, before RecoverJournal: the charges an earlier run set aside but ended before it
// told of (killed while its message was open, or between moving the readings and their times),
// as the untold marker names them. Times left behind by such an end follow their readings
// first. Fails, saying where the readings are, when the times cannot follow.
Result<std::vector<RecoveredJournal>> UntoldRecoveredJournals(const std::filesystem::path& folder);

// The user has been told of `told` (their message was closed): the untold marker no longer
// names them, nor charges that are gone, and goes once it names none.
void MarkTold(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& told);

// Removes the recovered journals in `folder` (each with its times) that were last written more
// than kRecoveredJournalsKeptDays before `now` and are not among the kRecoveredJournalsKept
// newest; those in `told`, which the user has just been told of, and those still untold stay
// whatever their age. One dated after `now` counts as new. One that cannot be removed stays.
void PruneRecoveredJournals(const std::filesystem::path& folder,
                            const std::vector<std::filesystem::path>& told,
                            std::filesystem::file_time_type now);

}  // namespace ampelon
