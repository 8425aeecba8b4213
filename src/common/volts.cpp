#include "common/volts.h"

#include <array>

namespace ampelon {

float Volts(std::int16_t reading) {
  return static_cast<float>(static_cast<double>(reading) / kFullScale * kFullScaleVolts);
}

double CountsForVolts(double volts) { return volts / kFullScaleVolts * kFullScale; }

std::span<const float> VoltsOfEveryReading() {
  static const auto table = [] {
    std::array<float, 65536> volts{};
    for (int reading = -32768; reading <= 32767; ++reading) {
      volts[static_cast<std::size_t>(reading + 32768)] = Volts(static_cast<std::int16_t>(reading));
    }
    return volts;
  }();
  return table;
}

}  // namespace ampelon
