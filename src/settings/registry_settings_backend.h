#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_backend.h"

namespace ampelon {

// The settings as the values of a key under HKEY_CURRENT_USER (Windows only), by default
// "Software\Trevanix Ampelon". Each call opens the key, works and closes it again, so a key
// deleted while the program runs is created anew by the next EnsureStore(). A text is written
// as REG_SZ through the ANSI functions: its bytes and one NUL byte. A value is read through a
// buffer of 255 bytes, so only texts of up to 254 bytes come back. It reads as the bytes the
// registry reports for it less the last (the terminator), whatever its type and whether or not
// it ends in a NUL: the length is never taken from the first NUL.
class RegistrySettingsBackend final : public SettingsBackend {
 public:
  // The program's own key.
  RegistrySettingsBackend();
  // `keyPath` below HKEY_CURRENT_USER, with backslashes.
  explicit RegistrySettingsBackend(std::string keyPath);

  static const char* DefaultKeyPath();

  void EnsureStore() override;
  std::optional<std::string> ReadValue(std::string_view name) override;
  Result<void> WriteValue(std::string_view name, std::string_view text) override;

 private:
  std::string m_keyPath;
};

}  // namespace ampelon
