#include "history/charge_library.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <bit>
#include <exception>
#include <utility>

#include "history/battery_judgement.h"
#include "history/charge_rows.h"
#include "history/library_opening.h"

namespace ampelon {

namespace {

constexpr char kGoneCharge[] = "That charge is no longer in the charge library.";
constexpr char kGoneNote[] = "That note is no longer in the charge library.";

// Every statement's failure (SQLiteCpp throws them) becomes the Failure of the call.
template <typename Call>
auto Guarded(const char* doing, Call&& call) -> decltype(call()) {
  try {
    return call();
  } catch (const std::exception& error) {
    return Failure{std::string("The charge library could not ") + doing + ": " + error.what() +
                   "."};
  }
}

// The name with its spaces as one types them: none at the ends, one between words.
std::string BatteryName(const std::string& text) {
  std::string name;
  bool space = false;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      space = !name.empty();
      continue;
    }
    if (space) name.push_back(' ');
    space = false;
    name.push_back(c);
  }
  return name;
}

// The spelling a battery already has in other charges than `chargeId` when `name` differs from
// it only in capitals, so that "aa 1" joins the charges of "AA 1" rather than starting anew.
std::string KnownSpelling(SQLite::Database& database, const std::string& name,
                          std::int64_t chargeId = 0) {
  if (name.empty()) return name;
  SQLite::Statement select(database,
                           "SELECT battery FROM charge WHERE battery = ?1 COLLATE NOCASE AND "
                           "id <> ?2 ORDER BY battery <> ?1 LIMIT 1");
  select.bind(1, name);
  select.bind(2, chargeId);
  return select.executeStep() ? select.getColumn(0).getString() : name;
}

// The charges `select` gives (over kChargeColumns, parameters bound), with their notes from
// `notes`, which gives every note of those charges and maybe others.
std::vector<ChargeRecord> ReadCharges(SQLite::Statement& select, SQLite::Statement& notes) {
  std::vector<ChargeRecord> charges = ReadChargeRows(select);
  if (!charges.empty()) ReadNoteRows(notes, charges);
  return charges;
}

constexpr char kNoteColumns[] = "note.id, note.charge_id, note.sample, note.seconds, note.text";

std::optional<ChargeRecord> FindCharge(SQLite::Database& database, std::uint64_t readingsHash,
                                       std::size_t chargeIndex) {
  SQLite::Statement select(database, std::string("SELECT ") + kChargeColumns +
                                         " FROM charge WHERE readings_hash = ? AND"
                                         " charge_index = ?");
  select.bind(1, std::bit_cast<std::int64_t>(readingsHash));
  select.bind(2, static_cast<std::int64_t>(chargeIndex));
  SQLite::Statement notes(database, std::string("SELECT ") + kNoteColumns +
                                        " FROM note JOIN charge ON charge.id = note.charge_id"
                                        " WHERE readings_hash = ? AND charge_index = ?"
                                        " ORDER BY note.sample, note.id");
  notes.bind(1, std::bit_cast<std::int64_t>(readingsHash));
  notes.bind(2, static_cast<std::int64_t>(chargeIndex));
  std::vector<ChargeRecord> found = ReadCharges(select, notes);
  if (found.empty()) return std::nullopt;
  return std::move(found.front());
}

}  // namespace

ChargeLibrary::ChargeLibrary(std::unique_ptr<SQLite::Database> database,
                             std::string setAsideMessage)
    : m_database(std::move(database)), m_setAsideMessage(std::move(setAsideMessage)) {}
ChargeLibrary::ChargeLibrary(ChargeLibrary&&) noexcept = default;
ChargeLibrary& ChargeLibrary::operator=(ChargeLibrary&&) noexcept = default;
ChargeLibrary::~ChargeLibrary() = default;

Result<ChargeLibrary> ChargeLibrary::Open(const std::filesystem::path& path) {
  Result<OpenedLibrary> opened = OpenLibraryFile(path);
  if (!opened) return Failure{opened.error()};
  return ChargeLibrary(std::move(opened->database), std::move(opened->setAsideMessage));
}

Result<std::vector<ChargeRecord>> ChargeLibrary::Register(
    const std::string& path, std::uint64_t readingsHash, std::int64_t recordedAt,
    const std::vector<ChargeFigures>& charges) {
  return Guarded("register the charge", [&]() -> Result<std::vector<ChargeRecord>> {
    // IMMEDIATE: a transaction that reads first and writes later could not wait for the other
    // program's write, as the busy timeout waits only where nothing was read yet.
    SQLite::Transaction transaction(*m_database, SQLite::TransactionBehavior::IMMEDIATE);
    std::vector<ChargeRecord> records;
    for (std::size_t index = 0; index < charges.size(); ++index) {
      UpsertChargeRow(*m_database, path, readingsHash, index, recordedAt, charges[index]);
      records.push_back(*FindCharge(*m_database, readingsHash, index));
    }
    transaction.commit();
    return records;
  });
}

Result<std::optional<ChargeRecord>> ChargeLibrary::Find(std::uint64_t readingsHash,
                                                        std::size_t chargeIndex) {
  return Guarded("be read", [&]() -> Result<std::optional<ChargeRecord>> {
    return FindCharge(*m_database, readingsHash, chargeIndex);
  });
}

Result<BatteryDetails> ChargeLibrary::SetDetails(std::int64_t chargeId,
                                                 const BatteryDetails& details) {
  return Guarded("keep the details", [&]() -> Result<BatteryDetails> {
    BatteryDetails kept = details;
    kept.battery = KnownSpelling(*m_database, BatteryName(details.battery), chargeId);
    SQLite::Statement update(*m_database,
                             "UPDATE charge SET battery = ?, chemistry = ?, "
                             "rated_milliamp_hours = ?, current_milliamps = ?, details_notes = ? "
                             "WHERE id = ?");
    update.bind(1, kept.battery);
    update.bind(2, std::string(ChemistryName(details.chemistry)));
    if (details.ratedMilliampHours) update.bind(3, *details.ratedMilliampHours);
    if (details.currentMilliamps) update.bind(4, *details.currentMilliamps);
    update.bind(5, details.notes);
    update.bind(6, chargeId);
    if (update.exec() == 0) return Failure{kGoneCharge};
    return kept;
  });
}

Result<std::int64_t> ChargeLibrary::AddNote(std::int64_t chargeId, const PinnedNote& note) {
  return Guarded("keep the note", [&]() -> Result<std::int64_t> {
    SQLite::Statement insert(*m_database,
                             "INSERT INTO note (charge_id, sample, seconds, text) "
                             "SELECT id, ?, ?, ? FROM charge WHERE id = ?");
    insert.bind(1, static_cast<std::int64_t>(note.sample));
    if (note.seconds) insert.bind(2, *note.seconds);
    insert.bind(3, note.text);
    insert.bind(4, chargeId);
    if (insert.exec() == 0) return Failure{kGoneCharge};
    return std::int64_t{m_database->getLastInsertRowid()};
  });
}

Result<void> ChargeLibrary::UpdateNote(std::int64_t noteId, const std::string& text) {
  return Guarded("change the note", [&]() -> Result<void> {
    SQLite::Statement update(*m_database, "UPDATE note SET text = ? WHERE id = ?");
    update.bind(1, text);
    update.bind(2, noteId);
    if (update.exec() == 0) return Failure{kGoneNote};
    return {};
  });
}

Result<void> ChargeLibrary::RemoveNote(std::int64_t noteId) {
  return Guarded("remove the note", [&]() -> Result<void> {
    SQLite::Statement remove(*m_database, "DELETE FROM note WHERE id = ?");
    remove.bind(1, noteId);
    if (remove.exec() == 0) return Failure{kGoneNote};
    return {};
  });
}

Result<std::vector<std::string>> ChargeLibrary::BatteryNames() {
  return Guarded("be read", [&]() -> Result<std::vector<std::string>> {
    SQLite::Statement select(*m_database,
                             "SELECT DISTINCT battery FROM charge WHERE battery <> '' "
                             "ORDER BY battery");
    std::vector<std::string> names;
    while (select.executeStep()) names.push_back(select.getColumn(0).getString());
    return names;
  });
}

Result<std::vector<BatterySummary>> ChargeLibrary::Batteries() {
  return Guarded("be read", [&]() -> Result<std::vector<BatterySummary>> {
    SQLite::Statement select(*m_database, std::string("SELECT ") + kChargeColumns +
                                              " FROM charge"
                                              " ORDER BY battery = '', battery, recorded_at, id");
    const std::vector<ChargeRecord> charges = ReadChargeRows(select);
    std::vector<BatterySummary> batteries;
    for (auto first = charges.begin(); first != charges.end();) {
      auto last = first;
      while (last != charges.end() && last->details.battery == first->details.battery) ++last;
      BatterySummary& battery = batteries.emplace_back();
      battery.name = first->details.battery;
      battery.charges = static_cast<int>(last - first);
      for (auto charge = first; charge != last; ++charge) {
        if (charge->details.chemistry != Chemistry::kUnknown) {
          battery.chemistry = charge->details.chemistry;
        }
      }
      battery.lastCharged = (last - 1)->recordedAt;
      battery.judgement = JudgeBatteryNamed(battery.name, std::vector<ChargeRecord>(first, last));
      first = last;
    }
    return batteries;
  });
}

Result<std::vector<ChargeRecord>> ChargeLibrary::ChargesOf(const std::string& battery) {
  return Guarded("be read", [&]() -> Result<std::vector<ChargeRecord>> {
    SQLite::Statement select(*m_database, std::string("SELECT ") + kChargeColumns +
                                              " FROM charge WHERE battery = ?"
                                              " ORDER BY recorded_at, id");
    const std::string name = KnownSpelling(*m_database, BatteryName(battery));
    select.bind(1, name);
    SQLite::Statement notes(*m_database, std::string("SELECT ") + kNoteColumns +
                                             " FROM note JOIN charge ON charge.id = note.charge_id"
                                             " WHERE battery = ? ORDER BY note.sample, note.id");
    notes.bind(1, name);
    return ReadCharges(select, notes);
  });
}

}  // namespace ampelon
