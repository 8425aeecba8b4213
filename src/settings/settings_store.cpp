#include "settings/settings_store.h"

#include "settings/settings_backend.h"

namespace ampelon {

SettingsStore::SettingsStore(SettingsBackend& backend) : m_backend(backend) {}

void SettingsStore::EnsureSettingsKey() { m_backend.EnsureStore(); }

std::string SettingsStore::ReadSetting(std::string_view name, std::string_view defaultValue) {
  EnsureSettingsKey();
  if (auto data = m_backend.ReadValue(name, kLongestReadableText + 1)) {
    // The stored data less its last byte, the terminator; data of zero bytes (only another
    // program can store that) reads as the empty text.
    if (!data->empty()) data->pop_back();
    return *data;
  }
  WriteSetting(name, defaultValue);
  return std::string(defaultValue);
}

std::string SettingsStore::StoreProblem() { return m_backend.StoreProblem(); }

void SettingsStore::WriteSetting(std::string_view name, std::string_view value) {
  EnsureSettingsKey();
  std::string data(value);
  data.push_back('\0');
  m_backend.WriteValue(name, data);
}

}  // namespace ampelon
