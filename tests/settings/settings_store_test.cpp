#include "settings/settings_store.h"

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "backend_harness.h"
#include "fakes/fake_settings_backend.h"
#ifdef AMPELON_SETTINGS_TEST_INI
#include "ini_file_harness.h"
#endif
#ifdef AMPELON_SETTINGS_TEST_REGISTRY
#include "registry_harness.h"
#endif

// The rules of the settings store, checked over every backend: each must give the store the
// same observable behaviour.

namespace ampelon {
namespace {

using testing::BackendHarness;

class FakeHarness final : public BackendHarness {
 public:
  SettingsBackend& Backend() override { return m_backend; }
  std::optional<std::string> StoredText(const std::string& name) override {
    return m_backend.Text(name);
  }
  void SetByOtherProgram(const std::string& name, const std::string& text) override {
    m_backend.Set(name, text);
  }
  void EraseByOtherProgram(const std::string& name) override { m_backend.Erase(name); }
  void EraseStoreByOtherProgram() override { m_backend.EraseAll(); }

 private:
  testing::FakeSettingsBackend m_backend;
};

struct BackendKind {
  std::string name;
  std::function<std::unique_ptr<BackendHarness>()> make;
};

// Names the backend in failure messages.
void PrintTo(const BackendKind& kind, std::ostream* os) { *os << kind.name; }

class SettingsStoreTest : public ::testing::TestWithParam<BackendKind> {
 protected:
  std::unique_ptr<BackendHarness> m_harness = GetParam().make();
  SettingsStore m_store{m_harness->Backend()};
};

TEST_P(SettingsStoreTest, AbsentValueGivesTheDefaultAndStoresIt) {
  EXPECT_EQ(m_store.ReadSetting("Window Left", "4000"), "4000");
  EXPECT_EQ(m_harness->StoredText("Window Left"), "4000");
  EXPECT_EQ(m_store.ReadSetting("Window Left", "1"), "4000");
  EXPECT_EQ(m_store.ReadSetting("Range", "0.3"), "0.3");
  EXPECT_EQ(m_harness->StoredText("Window Left"), "4000");
}

TEST_P(SettingsStoreTest, EmptyTextIsAPresentValue) {
  m_store.WriteSetting("Range", "");
  EXPECT_EQ(m_store.ReadSetting("Range", "0.3"), "");
  EXPECT_EQ(m_harness->StoredText("Range"), "");
}

TEST_P(SettingsStoreTest, ReadLimitIs254BytesNotCharacters) {
  std::string umlauts;
  for (int i = 0; i < 127; ++i) umlauts += "\xC3\xA4";  // 254 bytes, 127 characters
  const struct {
    std::string text;
    bool readable;
  } cases[] = {
      {std::string(254, 'x'), true},
      {std::string(255, 'x'), false},
      {umlauts, true},
      {umlauts + "x", false},
  };
  for (const auto& [text, readable] : cases) {
    SCOPED_TRACE(text.size());
    m_store.WriteSetting("Last Path", text);
    const std::string expected = readable ? text : "/home/";
    EXPECT_EQ(m_store.ReadSetting("Last Path", "/home/"), expected);
    EXPECT_EQ(m_harness->StoredText("Last Path"), expected);
  }
}

TEST_P(SettingsStoreTest, ValueDeletedBetweenCallsGetsItsDefaultAgain) {
  m_store.WriteSetting("Serial Port Number", "5");
  m_harness->EraseByOtherProgram("Serial Port Number");
  EXPECT_EQ(m_store.ReadSetting("Serial Port Number", "2"), "2");
  EXPECT_EQ(m_harness->StoredText("Serial Port Number"), "2");
}

TEST_P(SettingsStoreTest, StoreDeletedWhileRunningIsCreatedAgain) {
  m_store.WriteSetting("Range", ".5");
  m_harness->EraseStoreByOtherProgram();
  EXPECT_EQ(m_store.ReadSetting("Range", "0.3"), "0.3");
  EXPECT_EQ(m_harness->StoredText("Range"), "0.3");
  m_harness->EraseStoreByOtherProgram();
  m_store.WriteSetting("Window Top", "3000");
  EXPECT_EQ(m_harness->StoredText("Window Top"), "3000");
  EXPECT_EQ(m_store.ReadSetting("Window Top", "0"), "3000");
}

TEST_P(SettingsStoreTest, ChangeByAnotherProgramIsSeenAtTheNextRead) {
  m_store.WriteSetting("Range", ".3");
  m_harness->SetByOtherProgram("Range", ".5");
  EXPECT_EQ(m_store.ReadSetting("Range", "0.3"), ".5");
  // Same size again, and the file keeps its modification time: no cache may hide it.
  m_harness->SetByOtherProgram("Range", ".7");
  EXPECT_EQ(m_store.ReadSetting("Range", "0.3"), ".7");
  m_store.WriteSetting("Range", ".9");
  EXPECT_EQ(m_store.ReadSetting("Range", "0.3"), ".9");
}

std::vector<BackendKind> Backends() {
  std::vector<BackendKind> kinds = {
      {"InMemory", [] { return std::make_unique<FakeHarness>(); }},
  };
#ifdef AMPELON_SETTINGS_TEST_INI
  kinds.push_back({"IniFile", [] { return std::make_unique<testing::IniFileHarness>(); }});
#endif
#ifdef AMPELON_SETTINGS_TEST_REGISTRY
  kinds.push_back({"Registry", [] { return std::make_unique<testing::RegistryHarness>(); }});
#endif
  return kinds;
}

INSTANTIATE_TEST_SUITE_P(Backends, SettingsStoreTest, ::testing::ValuesIn(Backends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace ampelon
