#include "charger/malformed_line_maker.h"

#include <cstdlib>

namespace ampelon {

MalformedLineMaker::MalformedLineMaker(std::uint32_t seed) : m_random(seed) {}

std::string MalformedLineMaker::Next(int reading) {
  std::uniform_int_distribution<int> kind(0, kKindCount - 1);
  return Line(static_cast<Kind>(kind(m_random)), reading);
}

std::string MalformedLineMaker::Line(Kind kind, int reading) {
  const std::string digits = std::to_string(reading);
  std::string text;
  switch (kind) {
    case Kind::kCrLf:
      text = digits + '\r';
      break;
    case Kind::kPlusSign:
      text = '+' + digits;
      break;
    case Kind::kLeadingZeros:
      text = "00" + digits;
      break;
    case Kind::kLetters:
      text = digits;
      text[text.size() / 2] = 'x';
      break;
    case Kind::kEmpty:
      break;
    case Kind::kOnlySpaces:
      text = "   ";
      break;
    case Kind::kOverlong:
      for (int i = 0; i < 40; ++i) text += digits + "#";
      break;
    case Kind::kDecimal:
      text = digits + ".0";
      break;
    case Kind::kExponent:
      text = digits + "e0";
      break;
    case Kind::kNegativeZero:
      text = "-0";
      break;
    case Kind::kOutOfRange:
      text = std::to_string(std::abs(reading) + 32768);
      break;
    case Kind::kInnerSpace:
      text = digits + ' ' + digits;
      break;
    case Kind::kTab:
      text = '\t' + digits;
      break;
  }
  return text + '\n';
}

}  // namespace ampelon
