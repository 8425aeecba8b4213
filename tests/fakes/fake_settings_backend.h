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
  std::optional<std::string> ReadValue(std::string_view name, std::size_t capacity) override {
    const auto found = m_values.find(std::string(name));
    if (found == m_values.end() || found->second.size() > capacity) return std::nullopt;
    return found->second;
  }
  void WriteValue(std::string_view name, std::string_view data) override {
    m_writes.emplace_back(name, data);
    if (!m_readOnly) m_values[std::string(name)] = std::string(data);
  }
  std::string StoreProblem() override { return m_problem; }

  // The text of a value (its data less the terminator), as another program would set it.
  void Set(const std::string& name, const std::string& text) { m_values[name] = text + '\0'; }
  std::optional<std::string> Text(const std::string& name) const {
    const auto found = m_values.find(name);
    if (found == m_values.end()) return std::nullopt;
    std::string text = found->second;
    if (!text.empty()) text.pop_back();
    return text;
  }
  void Erase(const std::string& name) { m_values.erase(name); }
  void EraseAll() { m_values.clear(); }
  void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
  void SetProblem(std::string problem) { m_problem = std::move(problem); }

  // (name, text) of every write, in order.
  std::vector<std::pair<std::string, std::string>> WrittenTexts() const {
    std::vector<std::pair<std::string, std::string>> texts;
    for (auto [name, data] : m_writes) {
      if (!data.empty()) data.pop_back();
      texts.emplace_back(name, data);
    }
    return texts;
  }
  void ForgetWrites() { m_writes.clear(); }
  std::size_t Size() const { return m_values.size(); }

 private:
  std::map<std::string, std::string> m_values;
  std::vector<std::pair<std::string, std::string>> m_writes;
  bool m_readOnly = false;
  std::string m_problem;
  int m_ensures = 0;
};

}  // namespace ampelon::testing
