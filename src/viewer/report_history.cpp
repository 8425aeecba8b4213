#include "viewer/report_history.h"

#include <system_error>

#include "history/battery_judgement.h"
#include "history/charge_library.h"
#include "history/readings_hash.h"

namespace ampelon {

ReportHistory ReportHistoryOf(const std::filesystem::path& libraryPath,
                              std::span<const std::int16_t> counts, std::size_t chargeIndex) {
  ReportHistory history;
  std::error_code error;
  if (!std::filesystem::exists(libraryPath, error)) return history;
  Result<ChargeLibrary> library = ChargeLibrary::Open(libraryPath);
  if (!library) {
    history.problem = library.error();
    return history;
  }
  ReadingsHash hash;
  hash.Feed(counts);
  Result<std::optional<ChargeRecord>> record = library->Find(hash.Value(), chargeIndex);
  if (!record) {
    history.problem = record.error();
    return history;
  }
  history.record = std::move(*record);
  if (!history.record || history.record->details.battery.empty()) return history;
  Result<std::vector<ChargeRecord>> charges = library->ChargesOf(history.record->details.battery);
  if (!charges) {
    history.problem = charges.error();
    return history;
  }
  history.batteryCharges = std::move(*charges);
  history.judgement = JudgeBattery(history.batteryCharges);
  return history;
}

}  // namespace ampelon
