#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_backend.h"

namespace ampelon {

// The settings as an INI file (for systems without the registry). The settings live in the
// file's general section; other groups, such as the port overrides in [Ports], are kept as they
// are. Every call reads the file afresh, so a change made by another program is seen at the
// next call, and every write replaces the whole file in one step (ReplaceWholeFile), so a failed
// write never leaves it cut short or empty. A file that ReadIniFile refuses
// (not a regular file, too large, NUL bytes) counts as unreadable: reads give nothing, writes
// leave it alone and StoreProblem() says why. So does a file whose owner has no write
// permission, for writes.
class IniSettingsBackend final : public SettingsBackend {
 public:
  // `filePath` is the INI file, in UTF-8.
  explicit IniSettingsBackend(std::string filePath);

  void EnsureStore() override;
  std::optional<std::string> ReadValue(std::string_view name) override;
  Result<void> WriteValue(std::string_view name, std::string_view text) override;
  std::string StoreProblem() override;

 private:
  std::string m_filePath;
};

}  // namespace ampelon
