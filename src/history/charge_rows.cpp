#include "history/charge_rows.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <bit>
#include <optional>
#include <unordered_map>

namespace ampelon {

namespace {

std::optional<double> OptionalDouble(const SQLite::Column& column) {
  if (column.isNull()) return std::nullopt;
  return column.getDouble();
}

std::optional<int> OptionalInt(const SQLite::Column& column) {
  if (column.isNull()) return std::nullopt;
  return column.getInt();
}

template <typename T>
void BindOptional(SQLite::Statement& statement, int index, const std::optional<T>& value) {
  if (value) {
    statement.bind(index, *value);
  } else {
    statement.bind(index);
  }
}

ChargeEnd ChargeEndFromName(const std::string& name) {
  for (const ChargeEnd end : {ChargeEnd::kPlateau, ChargeEnd::kPeakPassed}) {
    if (name == ChargeEndName(end)) return end;
  }
  return ChargeEnd::kRising;
}

// SQLite keeps 64-bit signed integers; the hash keeps its bits.
std::int64_t StoredHash(std::uint64_t hash) { return std::bit_cast<std::int64_t>(hash); }

}  // namespace

const char* const kChargeColumns =
    "id, readings_hash, charge_index, path, recorded_at, first_sample, last_sample, times_known, "
    "start_volts, peak_volts, peak_sample, peak_seconds, charge_end, end_sample, end_seconds, "
    "drop_millivolts, duration_seconds, slope_millivolts_per_minute, noise_millivolts, battery, "
    "chemistry, rated_milliamp_hours, current_milliamps, details_notes";

std::vector<ChargeRecord> ReadChargeRows(SQLite::Statement& select) {
  std::vector<ChargeRecord> charges;
  while (select.executeStep()) {
    ChargeRecord& charge = charges.emplace_back();
    charge.id = select.getColumn(0).getInt64();
    charge.readingsHash = std::bit_cast<std::uint64_t>(select.getColumn(1).getInt64());
    charge.chargeIndex = static_cast<std::size_t>(select.getColumn(2).getInt64());
    charge.path = select.getColumn(3).getString();
    charge.recordedAt = select.getColumn(4).getInt64();
    ChargeFigures& figures = charge.figures;
    figures.firstSample = static_cast<std::size_t>(select.getColumn(5).getInt64());
    figures.lastSample = static_cast<std::size_t>(select.getColumn(6).getInt64());
    figures.timesKnown = select.getColumn(7).getInt() != 0;
    figures.startVolts = select.getColumn(8).getDouble();
    figures.peakVolts = select.getColumn(9).getDouble();
    figures.peakSample = static_cast<std::size_t>(select.getColumn(10).getInt64());
    figures.peakSeconds = OptionalDouble(select.getColumn(11));
    figures.end = ChargeEndFromName(select.getColumn(12).getString());
    if (!select.getColumn(13).isNull()) {
      figures.endSample = static_cast<std::size_t>(select.getColumn(13).getInt64());
    }
    figures.endSeconds = OptionalDouble(select.getColumn(14));
    figures.dropMillivolts = select.getColumn(15).getDouble();
    figures.durationSeconds = OptionalDouble(select.getColumn(16));
    figures.slopeMillivoltsPerMinute = OptionalDouble(select.getColumn(17));
    figures.noiseMillivolts = select.getColumn(18).getDouble();
    BatteryDetails& details = charge.details;
    details.battery = select.getColumn(19).getString();
    details.chemistry = ChemistryFromName(select.getColumn(20).getString());
    details.ratedMilliampHours = OptionalInt(select.getColumn(21));
    details.currentMilliamps = OptionalInt(select.getColumn(22));
    details.notes = select.getColumn(23).getString();
  }
  return charges;
}

void ReadNoteRows(SQLite::Statement& select, std::vector<ChargeRecord>& charges) {
  std::unordered_map<std::int64_t, ChargeRecord*> byId;
  for (ChargeRecord& charge : charges) byId.emplace(charge.id, &charge);
  while (select.executeStep()) {
    const auto charge = byId.find(select.getColumn(1).getInt64());
    if (charge == byId.end()) continue;
    PinnedNote& note = charge->second->notes.emplace_back();
    note.id = select.getColumn(0).getInt64();
    note.sample = static_cast<std::size_t>(select.getColumn(2).getInt64());
    note.seconds = OptionalDouble(select.getColumn(3));
    note.text = select.getColumn(4).getString();
  }
}

void UpsertChargeRow(SQLite::Database& database, const std::string& path,
                     std::uint64_t readingsHash, std::size_t chargeIndex, std::int64_t recordedAt,
                     const ChargeFigures& figures) {
  // The figures are those of the latest analysis; the date stays the first one known (a copy's
  // file date is the day it was copied).
  SQLite::Statement upsert(database, R"sql(
INSERT INTO charge (readings_hash, charge_index, path, recorded_at, first_sample, last_sample,
  times_known, start_volts, peak_volts, peak_sample, peak_seconds, charge_end, end_sample,
  end_seconds, drop_millivolts, duration_seconds, slope_millivolts_per_minute, noise_millivolts)
VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18)
ON CONFLICT (readings_hash, charge_index) DO UPDATE SET path = excluded.path,
  first_sample = excluded.first_sample, last_sample = excluded.last_sample,
  times_known = excluded.times_known, start_volts = excluded.start_volts,
  peak_volts = excluded.peak_volts, peak_sample = excluded.peak_sample,
  peak_seconds = excluded.peak_seconds, charge_end = excluded.charge_end,
  end_sample = excluded.end_sample, end_seconds = excluded.end_seconds,
  drop_millivolts = excluded.drop_millivolts, duration_seconds = excluded.duration_seconds,
  slope_millivolts_per_minute = excluded.slope_millivolts_per_minute,
  noise_millivolts = excluded.noise_millivolts
)sql");
  upsert.bind(1, StoredHash(readingsHash));
  upsert.bind(2, static_cast<std::int64_t>(chargeIndex));
  upsert.bind(3, path);
  upsert.bind(4, recordedAt);
  upsert.bind(5, static_cast<std::int64_t>(figures.firstSample));
  upsert.bind(6, static_cast<std::int64_t>(figures.lastSample));
  upsert.bind(7, figures.timesKnown ? 1 : 0);
  upsert.bind(8, figures.startVolts);
  upsert.bind(9, figures.peakVolts);
  upsert.bind(10, static_cast<std::int64_t>(figures.peakSample));
  BindOptional(upsert, 11, figures.peakSeconds);
  upsert.bind(12, std::string(ChargeEndName(figures.end)));
  std::optional<std::int64_t> endSample;
  if (figures.endSample) endSample = static_cast<std::int64_t>(*figures.endSample);
  BindOptional(upsert, 13, endSample);
  BindOptional(upsert, 14, figures.endSeconds);
  upsert.bind(15, figures.dropMillivolts);
  BindOptional(upsert, 16, figures.durationSeconds);
  BindOptional(upsert, 17, figures.slopeMillivoltsPerMinute);
  upsert.bind(18, figures.noiseMillivolts);
  upsert.exec();
}

}  // namespace ampelon
