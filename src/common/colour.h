#pragma once

#include <cstdint>

namespace ampelon {

// A colour as a 0xBBGGRR value: red in the low byte, blue in the third.
using Colour = std::uint32_t;

inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kLightGreen = 0xC0FFC0;
inline constexpr Colour kLightRed = 0xC0C0FF;
inline constexpr Colour kDarkBlue = 0x400000;
inline constexpr Colour kGridColour = 0x404040;
inline constexpr Colour kAxisColour = 0xC00000;
inline constexpr Colour kPointColour = 0xC0FFC0;

constexpr int RedOf(Colour colour) { return static_cast<int>(colour & 0xFF); }
constexpr int GreenOf(Colour colour) { return static_cast<int>((colour >> 8) & 0xFF); }
constexpr int BlueOf(Colour colour) { return static_cast<int>((colour >> 16) & 0xFF); }

}  // namespace ampelon
