#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_backend.h"

namespace ampelon {

// The settings as the values of a key under HKEY_CURRENT_USER (Windows only), by default
// "Software\Trevanix Ampelon". Each call opens the key, works and closes it again, so a key
// deleted while the program runs is created anew by the next EnsureStore(). Values are written
// as REG_SZ through the ANSI functions. A value is read as the bytes the registry reports for it,
// whatever its type and whether or not it ends in a NUL: the length is never taken from the
// first NUL.
class RegistrySettingsBackend final : public SettingsBackend {
 public:
  // The program's own key.
  RegistrySettingsBackend();
  // `keyPath` below HKEY_CURRENT_USER, with backslashes.
  explicit RegistrySettingsBackend(std::string keyPath);

  static const char* DefaultKeyPath();

  void EnsureStore() override;
  std::optional<std::string> ReadValue(std::string_view name, std::size_t capacity) override;
  void WriteValue(std::string_view name, std::string_view data) override;

 private:
  std::string m_keyPath;
};

}  // namespace ampelon
