#pragma once

#include <string>
#include <string_view>

#include "common/result.h"

namespace ampelon {

// How the serial line is framed: speed, parity, data bits and stop bits.
struct LineSettings {
  enum class Parity { kNone, kEven, kOdd, kMark, kSpace };
  enum class StopBits { kOne, kOneAndHalf, kTwo };

  int baudRate = 9600;  // bits per second, > 0
  Parity parity = Parity::kNone;
  int dataBits = 8;  // 5..8
  StopBits stopBits = StopBits::kOne;
};

// Reads text such as "19200,n,8,1": speed, parity letter (n, e, o, m or s, any case), data bits
// (5 to 8) and stop bits (1, 1.5 or 2), separated by commas. Blanks around a field are ignored.
// Fields left off at the end take the values of ",n,8,1"; an empty field is an error. An unusable
// text fails with a message for the user naming the bad field.
Result<LineSettings> ParseLineSettings(std::string_view text);

// The settings in words for the user: "19200 baud, 8 data bits, no parity, 1 stop bit".
std::string DescribeLineSettings(const LineSettings& settings);

}  // namespace ampelon
