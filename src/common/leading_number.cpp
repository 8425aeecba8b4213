#include "common/leading_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

namespace ampelon {
namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr long long kOrderLimit = 1'000'000'000;

// Walks the text one significant character at a time, stepping over skipped blanks.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : m_text(text) {}

  char Peek() {
    while (m_pos < m_text.size() && IsSkipped(m_text[m_pos])) ++m_pos;
    return m_pos < m_text.size() ? m_text[m_pos] : '\0';
  }
  void Advance() { ++m_pos; }
  std::size_t Position() const { return m_pos; }
  void Rewind(std::size_t pos) { m_pos = pos; }

 private:
  std::string_view m_text;
  std::size_t m_pos = 0;
};

int DigitValue(char c, int radix) {
  int value = -1;
  if (IsDigit(c)) {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  }
  return value < radix ? value : -1;
}

std::optional<double> ReadWholeNumber(Cursor& cursor, int radix) {
  double value = 0.0;
  bool any = false;
  for (int digit = DigitValue(cursor.Peek(), radix); digit >= 0;
       digit = DigitValue(cursor.Peek(), radix)) {
    value = value * radix + digit;
    any = true;
    cursor.Advance();
  }
  if (!any) return std::nullopt;
  return value;
}

}  // namespace

double LeadingNumber(std::string_view text) { return LeadingNumberIfAny(text).value_or(0.0); }

std::optional<double> LeadingNumberIfAny(std::string_view text) {
  Cursor cursor(text);
  if (cursor.Peek() == '&') {
    const std::size_t afterAmpersand = cursor.Position() + 1;
    cursor.Advance();
    const char prefix = cursor.Peek();
    if (prefix == 'H' || prefix == 'h') {
      cursor.Advance();
      return ReadWholeNumber(cursor, 16);
    }
    if (prefix == 'O' || prefix == 'o') {
      cursor.Advance();
      return ReadWholeNumber(cursor, 8);
    }
    cursor.Rewind(afterAmpersand);
    return std::nullopt;
  }

  // Collect the number without blanks, then convert it with the locale-free parser so that the
  // result is the correctly rounded double of the decimal text.
  std::string clean;
  const char sign = cursor.Peek();
  if (sign == '+' || sign == '-') {
    if (sign == '-') clean += '-';
    cursor.Advance();
  }
  bool seenPoint = false;
  bool seenNonZero = false;
  int digits = 0;
  // Decimal order of the first significant digit, kept to tell overflow from underflow.
  long long order = 0;
  for (char c = cursor.Peek();; c = cursor.Peek()) {
    if (IsDigit(c)) {
      ++digits;
      if (c != '0') seenNonZero = true;
      if (!seenPoint && seenNonZero && order < kOrderLimit) ++order;
      if (seenPoint && !seenNonZero && order > -kOrderLimit) --order;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
    clean += c;
    cursor.Advance();
  }
  if (digits == 0) return std::nullopt;

  const char marker = cursor.Peek();
  long long exponentValue = 0;
  if (marker == 'E' || marker == 'e' || marker == 'D' || marker == 'd') {
    const std::size_t beforeExponent = cursor.Position();
    std::string exponent = "e";
    cursor.Advance();
    const char expSign = cursor.Peek();
    if (expSign == '+' || expSign == '-') {
      if (expSign == '-') exponent += '-';
      cursor.Advance();
    }
    int exponentDigits = 0;
    while (IsDigit(cursor.Peek())) {
      if (exponentValue < kOrderLimit) exponentValue = exponentValue * 10 + (cursor.Peek() - '0');
      exponent += cursor.Peek();
      cursor.Advance();
      ++exponentDigits;
    }
    if (exponentDigits > 0) {
      clean += exponent;
      if (expSign == '-') exponentValue = -exponentValue;
    } else {
      cursor.Rewind(beforeExponent);
      exponentValue = 0;
    }
  }

  double value = 0.0;
  const char* first = clean.data();
  const char* last = clean.data() + clean.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc::result_out_of_range) {
    const bool negative = clean.front() == '-';
    if (order + exponentValue <= 0) return negative ? -0.0 : 0.0;
    const double infinity = std::numeric_limits<double>::infinity();
    return negative ? -infinity : infinity;
  }
  if (error != std::errc() || end != last) return 0.0;
  return value;
}

}  // namespace ampelon
