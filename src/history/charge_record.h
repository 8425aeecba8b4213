#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/charge_figures.h"
#include "history/battery_details.h"
#include "history/pinned_note.h"

namespace ampelon {

// One charge of one file as the library keeps it.
struct ChargeRecord {
  std::int64_t id = 0;
  std::uint64_t readingsHash = 0;  // of the whole file's counts (ReadingsHash)
  std::size_t chargeIndex = 0;     // which charge in the file, from 0
  std::string path;                // last known, UTF-8
  std::int64_t recordedAt = 0;     // Unix seconds of its first reading
  ChargeFigures figures;
  BatteryDetails details;
  std::vector<PinnedNote> notes;  // in the order of their moment
};

}  // namespace ampelon
