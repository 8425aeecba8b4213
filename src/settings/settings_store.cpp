#include "settings/settings_store.h"

#include <utility>

#include "settings/settings_backend.h"

namespace ampelon {

SettingsStore::SettingsStore(SettingsBackend& backend) : m_backend(backend) {}

void SettingsStore::EnsureSettingsKey() { m_backend.EnsureStore(); }

std::string SettingsStore::ReadSetting(std::string_view name, std::string_view defaultValue) {
  EnsureSettingsKey();
  if (auto text = m_backend.ReadValue(name); text && text->size() <= kLongestReadableText) {
    return *text;
  }
  WriteSetting(name, defaultValue);
  return std::string(defaultValue);
}

std::string SettingsStore::StoreProblem() { return m_backend.StoreProblem(); }

void SettingsStore::WriteSetting(std::string_view name, std::string_view value) {
  EnsureSettingsKey();
  if (const Result<void> written = m_backend.WriteValue(name, value); !written && !m_writeFailure) {
    m_writeFailure = written.error();
  }
}

std::optional<std::string> SettingsStore::TakeWriteFailure() {
  return std::exchange(m_writeFailure, std::nullopt);
}

}  // namespace ampelon
