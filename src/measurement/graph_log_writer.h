#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace ampelon {

// The graph log text of `readings`: each reading's decimal digits (with "-" when negative) and
// CR LF, the last line included; nothing at all for no readings.
std::string FormatGraphLog(std::span<const std::int16_t> readings);
// The same text added to the end of `text`, whose capacity is reused.
void AppendGraphLog(std::span<const std::int16_t> readings, std::string& text);

}  // namespace ampelon
