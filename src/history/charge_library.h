#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/charge_figures.h"
#include "common/result.h"
#include "history/battery_details.h"
#include "history/battery_summary.h"
#include "history/charge_record.h"
#include "history/pinned_note.h"

namespace SQLite {
class Database;
}

namespace ampelon {

// The user's charge library: one SQLite database, shared by Ampelon and the viewer (WAL and a
// busy timeout let both write at once). Movable, not copyable; one object per thread.
class ChargeLibrary {
 public:
  // Opens (creates, migrates) the database at `path`; a file that cannot be opened or fails its
  // check is set aside under a dated name and a new one started: SetAsideMessage() says where.
  // A file written by a newer Ampelon is refused and left as it is.
  static Result<ChargeLibrary> Open(const std::filesystem::path& path);

  ChargeLibrary(ChargeLibrary&&) noexcept;
  ChargeLibrary& operator=(ChargeLibrary&&) noexcept;
  ~ChargeLibrary();

  const std::string& SetAsideMessage() const { return m_setAsideMessage; }

  // One row a charge of the file (same hash + index: path updated, details and notes kept).
  // `recordedAt` is the Unix time of the file's first reading (the file's date where it has no
  // times); a charge keeps the first date it was registered with.
  Result<std::vector<ChargeRecord>> Register(const std::string& path, std::uint64_t readingsHash,
                                             std::int64_t recordedAt,
                                             const std::vector<ChargeFigures>& charges);
  Result<std::optional<ChargeRecord>> Find(std::uint64_t readingsHash, std::size_t chargeIndex);
  // The details as kept: the name with its spaces tidied, in the spelling of a battery of
  // the same name but for capitals ("aa 1" is kept as "AA 1" where that is known).
  Result<BatteryDetails> SetDetails(std::int64_t chargeId, const BatteryDetails& details);
  Result<std::int64_t> AddNote(std::int64_t chargeId, const PinnedNote& note);
  Result<void> UpdateNote(std::int64_t noteId, const std::string& text);
  Result<void> RemoveNote(std::int64_t noteId);
  // The names given so far, for completion, sorted.
  Result<std::vector<std::string>> BatteryNames();
  // Every named battery with its judgement, by name, then the charges of no named battery as
  // one of name "" (not judged), when there are any.
  Result<std::vector<BatterySummary>> Batteries();
  // One battery's charges by date; "": those of no named battery.
  Result<std::vector<ChargeRecord>> ChargesOf(const std::string& battery);

 private:
  ChargeLibrary(std::unique_ptr<SQLite::Database> database, std::string setAsideMessage);

  std::unique_ptr<SQLite::Database> m_database;
  std::string m_setAsideMessage;
};

}  // namespace ampelon
