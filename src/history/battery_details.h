#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ampelon {

enum class Chemistry { kUnknown, kNiMH, kNiCd, kOther };

// "", "NiMH", "NiCd" or "other": the names the library keeps and scripts read.
std::string_view ChemistryName(Chemistry chemistry);
// The chemistry of one of ChemistryName's names; kUnknown for anything else.
Chemistry ChemistryFromName(std::string_view name);

// What the user says about the battery of one charge.
struct BatteryDetails {
  std::string battery;  // the name, "" = not given
  Chemistry chemistry = Chemistry::kUnknown;
  std::optional<int> ratedMilliampHours;
  std::optional<int> currentMilliamps;
  std::string notes;

  bool operator==(const BatteryDetails&) const = default;
};

}  // namespace ampelon
