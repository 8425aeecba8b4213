// LeadingNumber on arbitrary text, and NumberText -> LeadingNumber on the float and the double
// that the input's first bytes hold, all under a locale whose decimal separator is a comma.
// Checked: LeadingNumber never gives a NaN and ignores blanks wherever they stand; a written
// number never holds a comma, is stable when read back and written again, stays within its
// rounding of the value, and is exact for whole values below the exponent form.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "common/german_locale.h"
#include "common/leading_number.h"
#include "common/number_text.h"
#include "fuzz_check.h"

namespace ampelon::fuzz {
namespace {

bool SameNumber(double a, double b) { return a == b && std::signbit(a) == std::signbit(b); }

void CheckLeadingNumber(std::string_view text) {
  const double value = LeadingNumber(text);
  FUZZ_CHECK(!std::isnan(value));
  std::string withoutBlanks;
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') withoutBlanks += c;
  }
  FUZZ_CHECK(SameNumber(LeadingNumber(withoutBlanks), value));
}

// `wholeLimit`: whole values below it are written as plain digits; `relativeError`: what
// rounding to the type's significant digits and reading back may change in a normal value.
template <typename Real>
void CheckRoundTrip(Real value, double wholeLimit, double relativeError) {
  const std::string text = NumberText(value);
  if (!std::isfinite(value)) return;
  FUZZ_CHECK(!text.empty());
  FUZZ_CHECK(text.find(',') == std::string::npos);
  FUZZ_CHECK(text.front() != ' ');
  FUZZ_CHECK(!text.starts_with("0.") && !text.starts_with("-0."));

  const auto back = static_cast<Real>(LeadingNumber(text));
  FUZZ_CHECK(NumberText(back) == text);
  if (std::isnormal(value)) {
    FUZZ_CHECK(std::abs(static_cast<double>(back) - static_cast<double>(value)) <=
               relativeError * std::abs(static_cast<double>(value)));
  }
  if (std::trunc(value) == value && std::abs(value) < wholeLimit) {
    FUZZ_CHECK(text == std::to_string(static_cast<long long>(value)));
    FUZZ_CHECK(back == value);
  }
}

}  // namespace
}  // namespace ampelon::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  // Without a German locale the checks still run, in the C locale.
  ampelon::testing::UseGermanLocale();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ampelon::fuzz;
  CheckLeadingNumber(std::string_view(reinterpret_cast<const char*>(data), size));
  if (size >= sizeof(float)) {
    float value = 0;
    std::memcpy(&value, data, sizeof value);
    CheckRoundTrip(value, 1e7, 1e-6);
  }
  if (size >= sizeof(double)) {
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    CheckRoundTrip(value, 1e15, 1e-14);
  }
  return 0;
}
