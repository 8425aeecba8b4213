#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "common/utf8_path.h"
#include "journal/journal_file.h"
#include "journal/journal_recovery.h"
#include "journal/journal_syncer.h"

namespace ampelon {

// Keeps a copy of the store's readings on disk while the program runs, so that a crash, a power
// cut or a window closed before saving loses at most the last second of a charge. The journal is
// a plain graph log; beside it the times file holds, line for line, each reading's time on the
// charge clock. A marker file says that everything in it was saved to or loaded from a file
// since, so there is nothing to recover. The first failure switches the journal off
// for the rest of the run: the readings themselves never wait for the disk, and nothing but the
// end of the run waits for a flush. All calls come from one thread.
class RecoveryJournal {
 public:
  static constexpr const char* kJournalName = "charge-journal.log";
  static constexpr const char* kTimesName = "charge-journal.times";
  static constexpr const char* kSavedMarkerName = "charge-journal.saved";
  // Names the charges set aside that the user has not been told of yet, one a line.
  static constexpr const char* kUntoldMarkerName = "charge-journal.untold";

  // An empty `folder` keeps no journal at all.
  explicit RecoveryJournal(std::filesystem::path folder);

  // Readings that just arrived, newest last, and their times (SampleStore::Times()): written at
  // once, one write to each file for all of them.
  void Append(std::span<const std::int16_t> readings, std::span<const double> times);
  // The store's readings after a load: the journal is written anew to hold exactly these, and
  // nothing in it needs recovering. The new journal and times are new files, renamed into place
  // (the old times removed first, the new ones renamed last), so that a reader never finds
  // times beside a journal they do not belong to.
  void Rewrite(std::span<const std::int16_t> readings, std::span<const double> times);
  // Everything in the journal was saved to a file.
  void MarkSaved();
  // Before readings that were never saved are replaced (a load): the journal is set aside as
  // RecoverJournal sets it aside at start-up, and the next write begins a new one. Nothing when
  // there is nothing to recover. A failure switches the journal off, which then keeps the
  // readings where they are rather than overwrite them.
  std::optional<RecoveredJournal> SetAside();
  // Starts forcing what was written since the last call onto the disk, without waiting for the
  // disk. Called once a second; a failure of the last flush shows here.
  void Sync();
  // Returns once everything written is on the disk.
  void SyncNow();
  // The end of the run: a journal with nothing to recover is removed, any other is kept on disk
  // for the next start. Final: nothing writes, empties or removes the journal afterwards.
  void Close();

  bool Enabled() const { return !m_folder.empty() && m_problem.empty() && !m_closed; }
  // Why the journal stopped; empty while it works.
  const std::string& Problem() const { return m_problem; }
  // Switches the journal off for the run, saying why. A flush that runs is not waited for.
  void Disable(const std::string& reason);
  std::filesystem::path JournalPath() const { return m_folder / kJournalName; }

 private:
  bool EnsureOpen();
  // Writes `readings` to a new journal and their times to new times, and renames both into
  // place; false (and the journal off) when that failed.
  bool WriteAnew(std::span<const std::int16_t> readings, std::span<const double> times);
  // One write of the readings as graph log lines and one of their times; false (and the journal
  // off) when either failed.
  bool WriteReadings(std::span<const std::int16_t> readings, std::span<const double> times);
  void SetSaved(bool saved);
  void Fail(const std::string& what, const std::string& reason);

  std::filesystem::path m_folder;
  JournalSyncer m_syncer;
  std::shared_ptr<JournalFile> m_file;  // shared with a flush that runs; empty while closed
  std::shared_ptr<JournalFile> m_timesFile;
  std::string m_problem;
  std::string m_text;             // reused for each write
  std::string m_timesText;        // alike
  bool m_saved = true;            // nothing in the journal needs recovering
  bool m_unsynced = false;        // written since the last Sync()
  bool m_folderUnsynced = false;  // files renamed since the last Sync()
  bool m_closed = false;
};

}  // namespace ampelon
