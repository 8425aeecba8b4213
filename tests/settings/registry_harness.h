#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "backend_harness.h"
#include "settings/registry_settings_backend.h"

namespace ampelon::testing {

// A RegistrySettingsBackend on a key of the current user's real registry that only the tests
// use; the key is deleted before and after each test. The other program works through the
// Win32 functions directly, as a registry editor would.
class RegistryHarness final : public BackendHarness {
 public:
  static constexpr const char* kKeyPath = "Software\\Trevanix Ampelon Tests";

  RegistryHarness();
  ~RegistryHarness() override;
  RegistryHarness(const RegistryHarness&) = delete;
  RegistryHarness& operator=(const RegistryHarness&) = delete;

  SettingsBackend& Backend() override { return m_backend; }
  std::optional<std::string> StoredText(const std::string& name) override;
  // Stores the text and its terminator as REG_SZ, as a registry editor does.
  void SetByOtherProgram(const std::string& name, const std::string& text) override;
  void EraseByOtherProgram(const std::string& name) override;
  void EraseStoreByOtherProgram() override;

  // Stores exactly `data` as a value of registry type `type` (REG_SZ, REG_BINARY, ...).
  void SetDataByOtherProgram(const std::string& name, unsigned long type, std::string_view data);
  // The bytes of a value, as the registry reports their size.
  std::optional<std::string> StoredData(const std::string& name) const;
  std::optional<unsigned long> StoredType(const std::string& name) const;
  bool KeyExists() const;

 private:
  RegistrySettingsBackend m_backend{kKeyPath};
};

}  // namespace ampelon::testing
