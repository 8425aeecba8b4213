#pragma once

// Checks an invariant in every build, NDEBUG or not: on violation prints it and aborts, which
// libFuzzer records as a crash and the replay test as a failure.
#define FUZZ_CHECK(condition)         \
  ((condition) ? static_cast<void>(0) \
               : ::ampelon::fuzz::CheckFailed(#condition, __FILE__, __LINE__))

namespace ampelon::fuzz {

[[noreturn]] void CheckFailed(const char* condition, const char* file, int line);

}  // namespace ampelon::fuzz
