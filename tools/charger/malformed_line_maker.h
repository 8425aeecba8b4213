#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace ampelon {

// Lines a faulty device or a noisy cable could send, none of which is the canonical decimal text
// of a 16-bit integer, so the program must reject every one. Each ends with a single line feed,
// so the line after it arrives intact.
class MalformedLineMaker {
 public:
  enum class Kind {
    kCrLf,          // "1966\r\n": a reading with a CR LF ending
    kPlusSign,      // "+1966"
    kLeadingZeros,  // "001966"
    kLetters,       // "19x6"
    kEmpty,         // ""
    kOnlySpaces,    // "   "
    kOverlong,      // hundreds of digits and junk
    kDecimal,       // "1966.0"
    kExponent,      // "1966e0"
    kNegativeZero,  // "-0"
    kOutOfRange,    // "34734": beyond 32767
    kInnerSpace,    // "1966 1966"
    kTab,           // "\t1966"
  };
  static constexpr int kKindCount = 13;

  explicit MalformedLineMaker(std::uint32_t seed);

  // A malformed line of a random kind made from `reading` (any 16-bit value).
  std::string Next(int reading);

  // The malformed line of `kind` made from `reading`, with its line feed.
  static std::string Line(Kind kind, int reading);

 private:
  std::minstd_rand m_random;
};

}  // namespace ampelon
