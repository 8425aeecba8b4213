#include "journal/recovery_journal.h"

#include <fstream>
#include <system_error>
#include <utility>

#include "files/rename_file.h"
#include "measurement/graph_log_writer.h"
#include "measurement/times_file.h"

namespace ampelon {
namespace {

// A new journal and its times are written under these names, then renamed into place.
constexpr const char* kNewSuffix = ".new";

}  // namespace

RecoveryJournal::RecoveryJournal(std::filesystem::path folder) : m_folder(std::move(folder)) {}

void RecoveryJournal::Fail(const std::string& what, const std::string& reason) {
  Disable(what + ": " + reason);
}

void RecoveryJournal::Disable(const std::string& reason) {
  m_file.reset();
  m_timesFile.reset();
  m_problem = reason;
}

bool RecoveryJournal::EnsureOpen() { return Enabled() && (m_file || WriteAnew({}, {})); }

bool RecoveryJournal::WriteAnew(std::span<const std::int16_t> readings,
                                std::span<const double> times) {
  if (!m_file) {
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    if (error) {
      Fail("Could not create the folder " + Utf8FromPath(m_folder), error.message());
      return false;
    }
    // A marker left from an earlier run must not vouch for this run's readings.
    SetSaved(true);
    if (!Enabled()) return false;
  }
  const std::filesystem::path journal = JournalPath();
  const std::filesystem::path timesPath = m_folder / kTimesName;
  const std::filesystem::path newJournal = std::filesystem::path(journal) += kNewSuffix;
  const std::filesystem::path newTimes = std::filesystem::path(timesPath) += kNewSuffix;
  const auto done = [this](const Result<void>& result, const std::string& what) {
    if (!result) Fail(what, result.error());
    return static_cast<bool>(result);
  };
  // The files in place now are let go of (a flush may hold them a little longer).
  for (auto [file, path] : {std::pair{&m_file, newJournal}, std::pair{&m_timesFile, newTimes}}) {
    Result<std::unique_ptr<JournalFile>> opened = JournalFile::Create(path);
    if (!opened) {
      Fail("Could not create " + Utf8FromPath(path), opened.error());
      break;
    }
    *file = std::move(*opened);
  }
  // New files rather than the old ones emptied, so that a reader tells the new journal from the
  // old by the file, whatever it holds. Whenever there are times beside the journal, they are
  // its own: the old times go before the new journal comes, the new times after it.
  const auto renamed = [&](const std::filesystem::path& from, const std::filesystem::path& to) {
    return done(RenameFile(from, to),
                "Could not rename " + Utf8FromPath(from) + " to " + Utf8FromPath(to.filename()));
  };
  if (Enabled() && WriteReadings(readings, times) &&
      done(RemoveFile(timesPath), "Could not remove " + Utf8FromPath(timesPath)) &&
      renamed(newJournal, journal) && renamed(newTimes, timesPath)) {
    m_folderUnsynced = true;
    return true;
  }
  (void)RemoveFile(newJournal);
  (void)RemoveFile(newTimes);
  return false;
}

void RecoveryJournal::SetSaved(bool saved) {
  const std::filesystem::path marker = m_folder / kSavedMarkerName;
  if (saved) {
    std::ofstream created(marker, std::ios::binary | std::ios::trunc);
    if (!created) {
      Fail("Could not write " + Utf8FromPath(marker), "the file cannot be created");
      return;
    }
  } else {
    std::error_code error;
    std::filesystem::remove(marker, error);
    if (error) {
      Fail("Could not remove " + Utf8FromPath(marker), error.message());
      return;
    }
  }
  m_saved = saved;
}

void RecoveryJournal::Append(std::span<const std::int16_t> readings,
                             std::span<const double> times) {
  if (readings.empty() || !EnsureOpen()) return;
  // The marker goes before the readings it would wrongly vouch for reach the disk.
  if (m_saved) {
    SetSaved(false);
    if (!Enabled()) return;
  }
  WriteReadings(readings, times);
}

bool RecoveryJournal::WriteReadings(std::span<const std::int16_t> readings,
                                    std::span<const double> times) {
  m_text.clear();
  AppendGraphLog(readings, m_text);
  m_timesText.clear();
  AppendTimes(times, m_timesText);
  if (const Result<void> written = m_file->Append(m_text); !written) {
    Fail("Could not write " + Utf8FromPath(JournalPath()), written.error());
    return false;
  }
  if (const Result<void> written = m_timesFile->Append(m_timesText); !written) {
    Fail("Could not write " + Utf8FromPath(m_folder / kTimesName), written.error());
    return false;
  }
  m_unsynced = true;
  return true;
}

void RecoveryJournal::Rewrite(std::span<const std::int16_t> readings,
                              std::span<const double> times) {
  if (Enabled() && WriteAnew(readings, times) && !m_saved) SetSaved(true);
}

void RecoveryJournal::MarkSaved() {
  if (!m_saved && Enabled()) SetSaved(true);
}

std::optional<RecoveredJournal> RecoveryJournal::SetAside() {
  if (!Enabled() || m_saved || !m_file) return std::nullopt;
  // Closed, and no flush holding it, before it is renamed: Windows renames no open file.
  m_file.reset();
  m_timesFile.reset();
  m_syncer.Wait();
  m_unsynced = false;
  const Result<std::optional<RecoveredJournal>> recovered = RecoverJournal(m_folder);
  if (!recovered) {
    Disable(recovered.error());
    return std::nullopt;
  }
  m_saved = true;
  return *recovered;
}

void RecoveryJournal::Sync() {
  if (const auto failure = m_syncer.TakeFailure()) {
    Fail("Could not write " + Utf8FromPath(JournalPath()) + " to the disk", *failure);
    return;
  }
  if (!m_unsynced || !m_file) return;
  m_unsynced = false;
  m_syncer.Request({m_file, m_timesFile},
                   std::exchange(m_folderUnsynced, false) ? m_folder : std::filesystem::path{});
}

void RecoveryJournal::SyncNow() {
  Sync();
  m_syncer.Wait();
  Sync();  // reports a failure of that flush
}

void RecoveryJournal::Close() {
  m_closed = true;
  if (!m_file) return;
  if (!m_saved) {
    SyncNow();
    m_file.reset();
    m_timesFile.reset();
    return;
  }
  // Closed before it is removed: Windows removes no open file.
  m_file.reset();
  m_timesFile.reset();
  m_syncer.Wait();
  // Through RemoveFile: the names are free at once, even while the viewer reads the files.
  (void)RemoveFile(JournalPath());
  (void)RemoveFile(m_folder / kTimesName);
  std::error_code ignored;
  std::filesystem::remove(m_folder / kSavedMarkerName, ignored);
}

}  // namespace ampelon
