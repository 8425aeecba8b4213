#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ampelon::fuzz {

// A fuzzer's input read from the front: a few control bytes that choose how the code under test
// is driven, then the bytes it is given. Control bytes past the end read as 0, so every input,
// however short, is a valid one.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size);

  std::uint8_t TakeByte();
  // A count byte (taken modulo maxCount + 1), then that many bytes, each the length of one piece.
  std::vector<std::size_t> TakePieceLengths(std::size_t maxCount);
  // Everything not taken yet.
  std::string_view Rest() const { return m_bytes; }

 private:
  std::string_view m_bytes;
};

// `bytes` cut into consecutive pieces of the given lengths (shortened at the end of the bytes;
// empty pieces included), then one last piece with whatever is left.
std::vector<std::string_view> SplitIntoPieces(std::string_view bytes,
                                              const std::vector<std::size_t>& lengths);

}  // namespace ampelon::fuzz
