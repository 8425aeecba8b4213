#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/result.h"

namespace ampelon {

// What the simulated charger is asked to do, from its command line.
struct ChargerOptions {
  int port = 2;
  std::string settingsFile;  // empty: the per-user settings file
  bool useSettings = true;
  std::string linkPath;          // empty: no link
  double intervalSeconds = 2.0;  // simulated seconds between readings
  double speed = 1.0;            // simulated seconds per real second
  double malformedShare = 0.0;
  std::string replayFile;  // empty: play the charge curve
  long long count = 0;     // 0: no limit
  bool loop = false;
  std::uint32_t seed = 1;
  bool help = false;
};

// Reads the arguments after the program name. Options take their value as the next argument or
// after "=" (--port=3). An invalid command line fails with a message naming the option.
Result<ChargerOptions> ParseChargerOptions(const std::vector<std::string>& arguments);

std::string ChargerHelpText();

}  // namespace ampelon
