#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "history/charge_record.h"

namespace ampelon {

// What the charge library knows for a report on one charge.
struct ReportHistory {
  std::optional<ChargeRecord> record;        // the charge, with its details and notes
  std::vector<ChargeRecord> batteryCharges;  // its battery's charges by date
  std::string judgement;                     // of those charges
  std::string problem;                       // why the library could not be read; "" if it was
};

// Charge `chargeIndex` of the file whose readings are `counts`, as the library at `libraryPath`
// knows it. A library that does not exist is not made for a report: nothing is known then.
ReportHistory ReportHistoryOf(const std::filesystem::path& libraryPath,
                              std::span<const std::int16_t> counts, std::size_t chargeIndex);

}  // namespace ampelon
