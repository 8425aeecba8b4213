#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_backend.h"

namespace ampelon {

// The settings as the values of the current user's registry key "Software\Trevanix Ampelon"
// (Windows only). Each call opens the key, works and closes it again.
class RegistrySettingsBackend final : public SettingsBackend {
 public:
  void EnsureStore() override;
  std::optional<std::string> ReadValue(std::string_view name, std::size_t capacity) override;
  void WriteValue(std::string_view name, std::string_view data) override;
};

}  // namespace ampelon
