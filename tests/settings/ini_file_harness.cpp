#include "ini_file_harness.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "settings/ini_document.h"

namespace ampelon::testing {

IniFileHarness::IniFileHarness()
    : m_filePath(m_dir.path().toStdString() + "/Trevanix Ampelon/settings.ini"),
      m_backend(m_filePath) {}

std::optional<std::string> IniFileHarness::StoredText(const std::string& name) {
  const std::optional<std::string> bytes = FileBytes();
  if (!bytes) return std::nullopt;
  return IniDocument(*bytes).Value(IniDocument::kGeneral, name);
}

void IniFileHarness::SetByOtherProgram(const std::string& name, const std::string& text) {
  IniDocument document(FileBytes().value_or(""));
  document.SetValue(IniDocument::kGeneral, name, text);
  WriteInPlace(document.Text());
}

void IniFileHarness::EraseByOtherProgram(const std::string& name) {
  IniDocument document(FileBytes().value_or(""));
  document.RemoveValue(IniDocument::kGeneral, name);
  WriteInPlace(document.Text());
}

void IniFileHarness::EraseStoreByOtherProgram() {
  std::error_code error;
  std::filesystem::remove_all(FolderPath(), error);
}

std::string IniFileHarness::FolderPath() const {
  return std::filesystem::path(m_filePath).parent_path().string();
}

std::optional<std::string> IniFileHarness::FileBytes() const {
  std::error_code error;
  if (!std::filesystem::is_regular_file(m_filePath, error)) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(m_filePath, error)), '\0');
  std::ifstream file(m_filePath, std::ios::binary);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void IniFileHarness::WriteInPlace(const std::string& bytes) const {
  std::error_code error;
  std::filesystem::create_directories(FolderPath(), error);
  const auto modified = std::filesystem::last_write_time(m_filePath, error);
  const bool existed = !error;
  {
    std::ofstream file(m_filePath, std::ios::binary | std::ios::trunc);
    file << bytes;
  }
  if (existed) std::filesystem::last_write_time(m_filePath, modified, error);
}

}  // namespace ampelon::testing
