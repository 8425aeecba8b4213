#include "settings/registry_settings_backend.h"

#include <limits>
#include <string>
#include <system_error>
#include <utility>

#include "common/windows_api.h"

namespace ampelon {
namespace {

// The read buffer: a text of up to 254 bytes and its terminator. Longer data does not fit and
// fails with ERROR_MORE_DATA.
constexpr DWORD kReadBufferBytes = 255;
constexpr std::size_t kLargestRegistrySize = std::numeric_limits<DWORD>::max();

// The key at `keyPath` opened with `access`, or nothing.
std::optional<HKEY> OpenKey(const std::string& keyPath, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, access, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return key;
}

}  // namespace

RegistrySettingsBackend::RegistrySettingsBackend() : m_keyPath(DefaultKeyPath()) {}

RegistrySettingsBackend::RegistrySettingsBackend(std::string keyPath)
    : m_keyPath(std::move(keyPath)) {}

const char* RegistrySettingsBackend::DefaultKeyPath() { return "Software\\Trevanix Ampelon"; }

void RegistrySettingsBackend::EnsureStore() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, nullptr, &key, &disposition) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
}

std::optional<std::string> RegistrySettingsBackend::ReadValue(std::string_view name) {
  // A NUL-terminated copy: the view need not be terminated.
  const std::string valueName(name);
  const std::optional<HKEY> key = OpenKey(m_keyPath, KEY_READ);
  if (!key) return std::nullopt;
  std::string buffer(kReadBufferBytes, '\0');
  DWORD size = kReadBufferBytes;
  const LONG result = RegQueryValueExA(*key, valueName.c_str(), nullptr, nullptr,
                                       reinterpret_cast<LPBYTE>(buffer.data()), &size);
  RegCloseKey(*key);
  if (result != ERROR_SUCCESS || size > kReadBufferBytes) return std::nullopt;
  // The size the registry reports, not the first NUL: a value another program stored without a
  // terminator, or with NULs inside, keeps exactly its bytes less the last. Zero bytes (only
  // another program stores that) read as the empty text.
  buffer.resize(size == 0 ? 0 : size - 1);
  return buffer;
}

Result<void> RegistrySettingsBackend::WriteValue(std::string_view name, std::string_view text) {
  const std::string valueName(name);
  const std::string what = "Could not store \"" + valueName + "\" in the registry";
  if (text.size() >= kLargestRegistrySize) return Failure{what + ": the text is too long"};
  // The terminator is stored and counted in the size, as REG_SZ data must be.
  std::string data(text);
  data.push_back('\0');
  const std::optional<HKEY> key = OpenKey(m_keyPath, KEY_WRITE);
  if (!key) return Failure{what + ": the key cannot be opened"};
  const LONG result =
      RegSetValueExA(*key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size()));
  RegCloseKey(*key);
  if (result != ERROR_SUCCESS) return Failure{what + ": " + std::system_category().message(result)};
  return {};
}

}  // namespace ampelon
