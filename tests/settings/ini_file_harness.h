#pragma once

#include <optional>
#include <string>

#include <QTemporaryDir>

#include "backend_harness.h"
#include "settings/qt/ini_settings_backend.h"

namespace ampelon::testing {

// An IniSettingsBackend on a settings file in a fresh temporary folder; the file's folder does
// not exist until the backend creates it. The other program edits the file in place and keeps
// its modification time, as an edit of the same size within one clock tick would.
class IniFileHarness final : public BackendHarness {
 public:
  IniFileHarness();

  SettingsBackend& Backend() override { return m_backend; }
  std::optional<std::string> StoredText(const std::string& name) override;
  void SetByOtherProgram(const std::string& name, const std::string& text) override;
  void EraseByOtherProgram(const std::string& name) override;
  void EraseStoreByOtherProgram() override;

  const std::string& FilePath() const { return m_filePath; }
  std::string FolderPath() const;
  // The file's bytes, or nothing when it cannot be read as a file.
  std::optional<std::string> FileBytes() const;
  void WriteInPlace(const std::string& bytes) const;

 private:
  QTemporaryDir m_dir;
  std::string m_filePath;
  IniSettingsBackend m_backend;
};

}  // namespace ampelon::testing
