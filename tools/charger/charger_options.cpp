#include "charger/charger_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace ampelon {
namespace {

std::optional<double> Number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (*end != '\0' || errno != 0 || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<long long> WholeNumber(const std::string& text, long long low, long long high) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  errno = 0;
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != 0 || value < low || value > high) return std::nullopt;
  return value;
}

}  // namespace

Result<ChargerOptions> ParseChargerOptions(const std::vector<std::string>& arguments) {
  ChargerOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::optional<std::string> inlineValue;
    if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != name.npos) {
      inlineValue = name.substr(equals + 1);
      name.resize(equals);
    }
    const auto fail = [&name](const std::string& why) { return Failure{name + ": " + why}; };
    if (name == "--help" || name == "-h") {
      options.help = true;
      continue;
    }
    if (name == "--loop" || name == "--no-settings") {
      if (inlineValue) return fail("takes no value");
      if (name == "--loop") {
        options.loop = true;
      } else {
        options.useSettings = false;
      }
      continue;
    }
    static const std::vector<std::string> kValued = {"--port",      "--settings-file", "--link",
                                                     "--interval",  "--speed",         "--count",
                                                     "--malformed", "--replay",        "--seed"};
    if (std::find(kValued.begin(), kValued.end(), name) == kValued.end()) {
      return fail("unknown option (see --help)");
    }
    if (!inlineValue && i + 1 == arguments.size()) return fail("needs a value");
    const std::string value = inlineValue ? *inlineValue : arguments[++i];

    if (name == "--settings-file" || name == "--link" || name == "--replay") {
      if (value.empty()) return fail("needs a path");
      if (name == "--settings-file") {
        options.settingsFile = value;
      } else if (name == "--link") {
        options.linkPath = value;
      } else {
        options.replayFile = value;
      }
    } else if (name == "--port") {
      const auto port = WholeNumber(value, 1, 255);
      if (!port) return fail("must be a whole number from 1 to 255");
      options.port = static_cast<int>(*port);
    } else if (name == "--count") {
      const auto count = WholeNumber(value, 1, 1LL << 62);
      if (!count) return fail("must be a whole number of at least 1");
      options.count = *count;
    } else if (name == "--seed") {
      const auto seed = WholeNumber(value, 0, 0xFFFFFFFFLL);
      if (!seed) return fail("must be a whole number from 0 to 4294967295");
      options.seed = static_cast<std::uint32_t>(*seed);
    } else if (name == "--malformed") {
      const auto share = Number(value);
      if (!share || *share < 0.0 || *share >= 1.0) return fail("must be from 0 to below 1");
      options.malformedShare = *share;
    } else {
      const auto number = Number(value);
      if (!number || *number <= 0.0 || *number > 1e9) return fail("must be a positive number");
      (name == "--interval" ? options.intervalSeconds : options.speed) = *number;
    }
  }
  if (!options.settingsFile.empty() && !options.useSettings) {
    return Failure{"--no-settings and --settings-file exclude each other"};
  }
  return options;
}

std::string ChargerHelpText() {
  return R"(Usage: ampelon-charger [options]

Simulates the charger on a pseudo-terminal. Plays the charge of one NiMH cell as
the device sends it: one converter count (4095 = 2.5 V) and a line feed a line,
at most 1920 bytes a second (19200 baud). Registers the terminal as a serial
port number for Ampelon, prints "serial port N is PATH" and runs until the
readings are out or Ctrl+C / SIGTERM, then takes the registration back.

  --port N              port number to register, 1-255 (default 2)
  --settings-file PATH  settings file to register the port in (default
                        $XDG_CONFIG_HOME or ~/.config, /Trevanix Ampelon/settings.ini)
  --no-settings         leave the settings file alone (use the path or --link)
  --link PATH           also make PATH a symbolic link to the terminal
  --interval SECONDS    simulated time between readings (default 2), also
                        for --replay
  --speed FACTOR        simulated seconds per real second (default 1;
                        600 plays the 2 h 45 min charge in under 20 s)
  --malformed SHARE     share of malformed lines mixed in, 0 to below 1
                        (CR LF endings, "+5", "007", letters, empty, overlong)
  --replay FILE         send the readings of a graph log file instead
  --count N             stop after N readings
  --loop                start again when the charge or the file is over
  --seed N              seed for the noise and the malformed lines (default 1)
  -h, --help            show this text

Lines are dropped, not queued, while no program has the port open or while the
program does not read them, as they would be on a real cable.
)";
}

}  // namespace ampelon
