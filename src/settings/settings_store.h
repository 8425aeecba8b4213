#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ampelon {

class SettingsBackend;

// The program's named text settings. A setting that cannot be read (absent, longer than 254
// bytes, store unreadable) gives the caller's default, which is then stored. The empty text is a
// present value. A failure to store leaves the program on the value it has; the first one is
// kept for the window to tell.
class SettingsStore {
 public:
  // The longest text that can be read back, in bytes: the registry reads no more, and a
  // setting must behave alike on every system.
  static constexpr std::size_t kLongestReadableText = 254;

  // `backend` must outlive the store.
  explicit SettingsStore(SettingsBackend& backend);

  void EnsureSettingsKey();
  std::string ReadSetting(std::string_view name, std::string_view defaultValue);
  void WriteSetting(std::string_view name, std::string_view value);
  // Why no setting can be read or kept (the settings file is a folder or a pipe); empty when
  // the store works.
  std::string StoreProblem();
  // Why the first write that failed since the last call failed; nothing when none failed.
  std::optional<std::string> TakeWriteFailure();

 private:
  SettingsBackend& m_backend;
  std::optional<std::string> m_writeFailure;
};

}  // namespace ampelon
