#pragma once

#include <optional>
#include <string_view>

namespace ampelon {

// The numeric value at the start of `text`, as the settings and graph log files store numbers.
// Blanks, tabs and line feeds are skipped anywhere in the text (so "1 2" reads as 12). Then an
// optional sign, digits with at most one ".", and an optional exponent (E or D, optional sign,
// digits) are read up to the first character that does not fit. "&H" and "&O" read a hexadecimal
// or octal whole number instead. The decimal point is always ".", whatever the locale. A text
// without a number gives 0; an exponent too large to hold gives an infinity of the right sign.
double LeadingNumber(std::string_view text);
// The same reading, but nothing when the text holds no number at all ("abc", "", "&H"), so
// that a caller can tell a stored 0 from a value typed by hand that means nothing.
std::optional<double> LeadingNumberIfAny(std::string_view text);

}  // namespace ampelon
