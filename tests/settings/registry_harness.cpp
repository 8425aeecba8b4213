#include "registry_harness.h"

#include <stdexcept>

#include "common/windows_api.h"

namespace ampelon::testing {
namespace {

// The tests' key, opened (and created when `create`) with `access`; a failure ends the test.
HKEY OpenTestKey(REGSAM access, bool create) {
  HKEY key = nullptr;
  const LONG result =
      create ? RegCreateKeyExA(HKEY_CURRENT_USER, RegistryHarness::kKeyPath, 0, nullptr,
                               REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr)
             : RegOpenKeyExA(HKEY_CURRENT_USER, RegistryHarness::kKeyPath, 0, access, &key);
  if (result != ERROR_SUCCESS) throw std::runtime_error("cannot open the tests' registry key");
  return key;
}

void DeleteTestKey() {
  const LONG result = RegDeleteKeyA(HKEY_CURRENT_USER, RegistryHarness::kKeyPath);
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
    throw std::runtime_error("cannot delete the tests' registry key");
  }
}

}  // namespace

RegistryHarness::RegistryHarness() { DeleteTestKey(); }

RegistryHarness::~RegistryHarness() { RegDeleteKeyA(HKEY_CURRENT_USER, kKeyPath); }

std::optional<std::string> RegistryHarness::StoredText(const std::string& name) {
  std::optional<std::string> data = StoredData(name);
  if (data && !data->empty()) data->pop_back();
  return data;
}

void RegistryHarness::SetByOtherProgram(const std::string& name, const std::string& text) {
  SetDataByOtherProgram(name, REG_SZ, std::string_view(text.c_str(), text.size() + 1));
}

void RegistryHarness::EraseByOtherProgram(const std::string& name) {
  const HKEY key = OpenTestKey(KEY_SET_VALUE, false);
  RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
}

void RegistryHarness::EraseStoreByOtherProgram() { DeleteTestKey(); }

void RegistryHarness::SetDataByOtherProgram(const std::string& name, unsigned long type,
                                            std::string_view data) {
  // RegSetValueExA counts one more byte for text whose byte after the given size is a NUL (a
  // caller that forgot its terminator). A byte other than NUL there keeps the size exact.
  std::string bytes(data);
  bytes.push_back('#');
  const HKEY key = OpenTestKey(KEY_SET_VALUE, true);
  const LONG result =
      RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) throw std::runtime_error("cannot set a registry value");
}

std::optional<std::string> RegistryHarness::StoredData(const std::string& name) const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD size = 0;
  std::optional<std::string> data;
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    std::string bytes(size, '\0');
    if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(bytes.data()),
                         &size) == ERROR_SUCCESS) {
      bytes.resize(size);
      data = bytes;
    }
  }
  RegCloseKey(key);
  return data;
}

std::optional<unsigned long> RegistryHarness::StoredType(const std::string& name) const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0;
  const LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, nullptr);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return type;
}

bool RegistryHarness::KeyExists() const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace ampelon::testing
