#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_backend.h"

namespace ampelon {

// The settings as an INI file (for systems without the registry). The settings live in the
// file's general section; other groups, such as the port overrides in [Ports], are kept as they
// are. Every call reads the file afresh, so a change made by another program is seen at the
// next call, and every write replaces the whole file atomically. A file that is not a regular
// file, is larger than kLargestFileBytes or holds NUL bytes counts as unreadable: reads give
// nothing and writes leave it alone. So does a file whose owner has no write permission, for
// writes.
class IniSettingsBackend final : public SettingsBackend {
 public:
  // Far above any real settings file; a larger one is not read at all.
  static constexpr std::int64_t kLargestFileBytes = 1 << 20;

  // `filePath` is the INI file, in UTF-8.
  explicit IniSettingsBackend(std::string filePath);

  // The per-user settings file: "Trevanix Ampelon/settings.ini" in the generic config folder.
  static std::string DefaultFilePath();

  void EnsureStore() override;
  std::optional<std::string> ReadValue(std::string_view name, std::size_t capacity) override;
  void WriteValue(std::string_view name, std::string_view data) override;

 private:
  // The file's whole text: empty when the file does not exist, nothing when it is unreadable.
  std::optional<std::string> ReadFile() const;

  std::string m_filePath;
};

}  // namespace ampelon
