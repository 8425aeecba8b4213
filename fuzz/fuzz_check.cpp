#include "fuzz_check.h"

#include <cstdio>
#include <cstdlib>

namespace ampelon::fuzz {

void CheckFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant violated: %s\n", file, line, condition);
  std::abort();
}

}  // namespace ampelon::fuzz
