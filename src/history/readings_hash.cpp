#include "history/readings_hash.h"

namespace ampelon {

namespace {
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;
}

void ReadingsHash::Feed(std::span<const std::int16_t> counts) {
  std::uint64_t value = m_value;
  for (const std::int16_t count : counts) {
    const auto bits = static_cast<std::uint16_t>(count);
    value = (value ^ (bits & 0xffu)) * kFnvPrime;
    value = (value ^ (bits >> 8u)) * kFnvPrime;
  }
  m_value = value;
}

}  // namespace ampelon
