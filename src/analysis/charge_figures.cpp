#include "analysis/charge_figures.h"

namespace ampelon {

std::string_view ChargeEndName(ChargeEnd end) {
  switch (end) {
    case ChargeEnd::kPlateau:
      return "plateau";
    case ChargeEnd::kPeakPassed:
      return "peak-passed";
    case ChargeEnd::kRising:
      break;
  }
  return "rising";
}

}  // namespace ampelon
