#include "history/battery_details.h"

namespace ampelon {

std::string_view ChemistryName(Chemistry chemistry) {
  switch (chemistry) {
    case Chemistry::kNiMH:
      return "NiMH";
    case Chemistry::kNiCd:
      return "NiCd";
    case Chemistry::kOther:
      return "other";
    case Chemistry::kUnknown:
      break;
  }
  return "";
}

Chemistry ChemistryFromName(std::string_view name) {
  for (const Chemistry chemistry : {Chemistry::kNiMH, Chemistry::kNiCd, Chemistry::kOther}) {
    if (name == ChemistryName(chemistry)) return chemistry;
  }
  return Chemistry::kUnknown;
}

}  // namespace ampelon
