#pragma once

#include <cstdint>
#include <span>

namespace ampelon {

// A content hash of a file's readings (64-bit FNV-1a over each count's two bytes, low byte
// first), so that a moved or copied log is found again. Fed in pieces it gives the same value as
// fed in one.
class ReadingsHash {
 public:
  void Feed(std::span<const std::int16_t> counts);
  std::uint64_t Value() const { return m_value; }

 private:
  std::uint64_t m_value = 0xcbf29ce484222325ULL;
};

}  // namespace ampelon
