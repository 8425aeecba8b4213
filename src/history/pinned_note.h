#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ampelon {

// A note pinned to a moment of a charge ("cell reseated"): at seconds where the charge has
// times, else at its sample (counted from 1).
struct PinnedNote {
  std::int64_t id = 0;
  std::size_t sample = 0;
  std::optional<double> seconds;
  std::string text;

  bool operator==(const PinnedNote&) const = default;
};

}  // namespace ampelon
