#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace ampelon {

// Where one user's named text settings live: a registry key on Windows, an INI file elsewhere.
// Every call opens the store, works and closes it again: nothing is kept between calls, so a
// change made by another program is seen at the next call.
class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;

  // Creates the store if it does not exist. Failures are silent.
  virtual void EnsureStore() = 0;
  // The text stored under `name`, as WriteValue stored it. Nothing when the value is absent,
  // the store cannot read it back, or the store cannot be read at all.
  virtual std::optional<std::string> ReadValue(std::string_view name) = 0;
  // Stores `text` under `name`, creating or replacing the value. Fails with the reason when the
  // store could not keep it; a store that StoreProblem() or its permissions rule out is left
  // alone without a failure, since the user knows it cannot change.
  virtual Result<void> WriteValue(std::string_view name, std::string_view text) = 0;
  // Why the store can be neither read nor written, for the user; empty when it can be used
  // (also when it does not exist yet).
  virtual std::string StoreProblem() { return {}; }
};

}  // namespace ampelon
