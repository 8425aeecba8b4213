#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ampelon {

// Where one user's named text settings live: a registry key on Windows, an INI file elsewhere.
// Every call opens the store, works and closes it again: nothing is kept between calls, so a
// change made by another program is seen at the next call.
class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;

  // Creates the store if it does not exist. Failures are silent.
  virtual void EnsureStore() = 0;
  // The stored data of a value, as WriteValue stored it: the text's bytes and one NUL byte.
  // Nothing when the value is absent, its data is longer than `capacity` bytes, or the store
  // cannot be read.
  virtual std::optional<std::string> ReadValue(std::string_view name, std::size_t capacity) = 0;
  // Stores `data` (the text's bytes followed by one NUL byte) under `name`, creating or
  // replacing the value. Failures are silent.
  virtual void WriteValue(std::string_view name, std::string_view data) = 0;
  // Why the store can be neither read nor written, for the user; empty when it can be used
  // (also when it does not exist yet).
  virtual std::string StoreProblem() { return {}; }
};

}  // namespace ampelon
