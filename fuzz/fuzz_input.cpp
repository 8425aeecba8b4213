#include "fuzz_input.h"

#include <algorithm>

namespace ampelon::fuzz {

FuzzInput::FuzzInput(const std::uint8_t* data, std::size_t size)
    : m_bytes(reinterpret_cast<const char*>(data), size) {}

std::uint8_t FuzzInput::TakeByte() {
  if (m_bytes.empty()) return 0;
  const auto byte = static_cast<std::uint8_t>(m_bytes.front());
  m_bytes.remove_prefix(1);
  return byte;
}

std::vector<std::size_t> FuzzInput::TakePieceLengths(std::size_t maxCount) {
  const std::size_t count = TakeByte() % (maxCount + 1);
  std::vector<std::size_t> lengths;
  for (std::size_t i = 0; i < count; ++i) lengths.push_back(TakeByte());
  return lengths;
}

std::vector<std::string_view> SplitIntoPieces(std::string_view bytes,
                                              const std::vector<std::size_t>& lengths) {
  std::vector<std::string_view> pieces;
  for (const std::size_t length : lengths) {
    const std::size_t taken = std::min(length, bytes.size());
    pieces.push_back(bytes.substr(0, taken));
    bytes.remove_prefix(taken);
  }
  pieces.push_back(bytes);
  return pieces;
}

}  // namespace ampelon::fuzz
