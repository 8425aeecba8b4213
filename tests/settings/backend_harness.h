#pragma once

#include <optional>
#include <string>

#include "settings/settings_backend.h"

namespace ampelon::testing {

// A settings backend under test together with the view and the hands of another program that
// works on the same store behind the backend's back.
class BackendHarness {
 public:
  virtual ~BackendHarness() = default;

  virtual SettingsBackend& Backend() = 0;
  // The stored text of a value (its data less the terminator).
  virtual std::optional<std::string> StoredText(const std::string& name) = 0;
  virtual void SetByOtherProgram(const std::string& name, const std::string& text) = 0;
  virtual void EraseByOtherProgram(const std::string& name) = 0;
  // Deletes the whole store (the registry key, the settings file and its folder).
  virtual void EraseStoreByOtherProgram() = 0;
};

}  // namespace ampelon::testing
