#include "settings/registry_settings_backend.h"

#include <limits>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace ampelon {
namespace {

constexpr const char* kSettingsKey = "Software\\Trevanix Ampelon";
constexpr std::size_t kLargestRegistrySize = std::numeric_limits<DWORD>::max();

// The settings key opened with `access`, or nothing.
std::optional<HKEY> OpenSettingsKey(REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, access, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return key;
}

}  // namespace

void RegistrySettingsBackend::EnsureStore() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, nullptr, &key, &disposition) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
}

std::optional<std::string> RegistrySettingsBackend::ReadValue(std::string_view name,
                                                              std::size_t capacity) {
  if (capacity > kLargestRegistrySize) capacity = kLargestRegistrySize;
  // A NUL-terminated copy: the view need not be terminated.
  const std::string valueName(name);
  const std::optional<HKEY> key = OpenSettingsKey(KEY_READ);
  if (!key) return std::nullopt;
  std::string buffer(capacity, ' ');
  auto size = static_cast<DWORD>(capacity);
  const LONG result = RegQueryValueExA(*key, valueName.c_str(), nullptr, nullptr,
                                       reinterpret_cast<LPBYTE>(buffer.data()), &size);
  RegCloseKey(*key);
  // Data longer than the buffer fails with ERROR_MORE_DATA; the size check is a guard only.
  if (result != ERROR_SUCCESS || size > capacity) return std::nullopt;
  // The length the registry reports, not the first NUL: the data is the text and its terminator.
  buffer.resize(size);
  return buffer;
}

void RegistrySettingsBackend::WriteValue(std::string_view name, std::string_view data) {
  if (data.size() > kLargestRegistrySize) return;
  const std::string valueName(name);
  const std::optional<HKEY> key = OpenSettingsKey(KEY_WRITE);
  if (!key) return;
  RegSetValueExA(*key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
  RegCloseKey(*key);
}

}  // namespace ampelon
