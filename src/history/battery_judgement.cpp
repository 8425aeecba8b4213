#include "history/battery_judgement.h"

namespace ampelon {

std::string JudgeBattery(const std::vector<ChargeRecord>& charges) {
  (void)charges;
  return "Not enough charges to judge yet";
}

}  // namespace ampelon
