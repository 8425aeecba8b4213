#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings_backend.h"

namespace ampelon::testing {

// Settings held in memory, with a log of every value written, in order.
class FakeSettingsBackend final : public SettingsBackend {
 public:
  void EnsureStore() override { ++m_ensures; }
  std::optional<std::string> ReadValue(std::string_view name) override {
    const auto found = m_values.find(std::string(name));
    if (found == m_values.end()) return std::nullopt;
    return found->second;
  }
  Result<void> WriteValue(std::string_view name, std::string_view text) override {
    m_writes.emplace_back(name, text);
    if (m_writeFailure) return Failure{*m_writeFailure};
    if (!m_readOnly) m_values[std::string(name)] = std::string(text);
    return {};
  }
  std::string StoreProblem() override { return m_problem; }

  // A value as another program would set it.
  void Set(const std::string& name, const std::string& text) { m_values[name] = text; }
  std::optional<std::string> Text(const std::string& name) const {
    const auto found = m_values.find(name);
    if (found == m_values.end()) return std::nullopt;
    return found->second;
  }
  void Erase(const std::string& name) { m_values.erase(name); }
  void EraseAll() { m_values.clear(); }
  void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
  void SetProblem(std::string problem) { m_problem = std::move(problem); }
  void FailWrites(std::optional<std::string> reason) { m_writeFailure = std::move(reason); }

  // (name, text) of every write, in order.
  const std::vector<std::pair<std::string, std::string>>& WrittenTexts() const { return m_writes; }
  void ForgetWrites() { m_writes.clear(); }
  std::size_t Size() const { return m_values.size(); }

 private:
  std::map<std::string, std::string> m_values;
  std::vector<std::pair<std::string, std::string>> m_writes;
  bool m_readOnly = false;
  std::string m_problem;
  std::optional<std::string> m_writeFailure;
  int m_ensures = 0;
};

}  // namespace ampelon::testing
