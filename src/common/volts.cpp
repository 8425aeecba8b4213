#include "common/volts.h"

namespace ampelon {

float Volts(std::int16_t reading) {
  return static_cast<float>(static_cast<double>(reading) / kFullScale * kFullScaleVolts);
}

}  // namespace ampelon
