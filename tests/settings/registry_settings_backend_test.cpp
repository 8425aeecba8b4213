// The settings store on the real registry: what values stored by other programs read as, and
// what the backend itself stores. The rules shared with every backend are in
// settings_store_test.cpp.
#include "settings/registry_settings_backend.h"

#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "common/windows_api.h"
#include "registry_harness.h"
#include "settings/settings_store.h"

namespace ampelon {
namespace {

using namespace std::string_literals;

class RegistrySettingsTest : public ::testing::Test {
 protected:
  testing::RegistryHarness m_harness;
  SettingsStore m_store{m_harness.Backend()};
};

TEST_F(RegistrySettingsTest, TextIsStoredAsRegSzWithOneTerminator) {
  const struct {
    std::string text;
    std::string data;
  } cases[] = {
      {"0.3", "0.3\0"s},
      {"", "\0"s},
      {std::string(254, 'x'), std::string(254, 'x') + '\0'},
  };
  for (const auto& [text, data] : cases) {
    SCOPED_TRACE(text.size());
    m_store.WriteSetting("Range", text);
    EXPECT_EQ(m_harness.StoredType("Range"), REG_SZ);
    EXPECT_EQ(m_harness.StoredData("Range"), data);
  }
}

TEST_F(RegistrySettingsTest, EnsuringTheKeyCreatesItAndKeepsItsValues) {
  EXPECT_FALSE(m_harness.KeyExists());
  m_store.EnsureSettingsKey();
  EXPECT_TRUE(m_harness.KeyExists());
  m_harness.SetByOtherProgram("Range", ".5");
  m_store.EnsureSettingsKey();
  EXPECT_EQ(m_harness.StoredText("Range"), ".5");
}

// Whatever its type and terminator, a value reads as the bytes the registry reports less the
// last one; a value of zero bytes reads as the empty text. Readable values are left as they are;
// unreadable ones are replaced by the default as REG_SZ.
TEST_F(RegistrySettingsTest, ValuesStoredByOtherProgramsReadAsTheirBytesLessTheLast) {
  const struct {
    const char* what;
    unsigned long type;
    std::string data;
    std::string expected;
  } cases[] = {
      {"text without terminator", REG_SZ, "1234", "123"},
      {"text with NULs inside", REG_SZ, "ab\0cd\0"s, "ab\0cd"s},
      {"zero bytes of text", REG_SZ, "", ""},
      {"expandable text", REG_EXPAND_SZ, "%TEMP%\0"s, "%TEMP%"},
      {"binary", REG_BINARY, "\x01\x02\x03", "\x01\x02"},
      {"binary with a NUL inside", REG_BINARY, "a\0bc"s, "a\0b"s},
      {"zero bytes of binary", REG_BINARY, "", ""},
      {"number", REG_DWORD, "123\0"s, "123"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    m_harness.SetDataByOtherProgram("Last Path", c.type, c.data);
    EXPECT_EQ(m_store.ReadSetting("Last Path", "C:\\"), c.expected);
    EXPECT_EQ(m_harness.StoredType("Last Path"), c.type);
    EXPECT_EQ(m_harness.StoredData("Last Path"), c.data);
  }
}

TEST_F(RegistrySettingsTest, TooLongValuesOfAnyTypeAreReplacedByTheDefault) {
  const struct {
    unsigned long type;
    std::string data;
  } cases[] = {
      {REG_SZ, std::string(255, 'x') + '\0'},
      {REG_SZ, std::string(256, 'x')},
      {REG_BINARY, std::string(256, '\x7f')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.data.size());
    m_harness.SetDataByOtherProgram("Last Path", c.type, c.data);
    EXPECT_EQ(m_store.ReadSetting("Last Path", "C:\\"), "C:\\");
    EXPECT_EQ(m_harness.StoredType("Last Path"), REG_SZ);
    EXPECT_EQ(m_harness.StoredData("Last Path"), "C:\\\0"s);
  }
}

// The backend itself holds the registry's form: a read gives the data less its last byte and
// fits 255 bytes of data at most; a write adds the terminator.
TEST_F(RegistrySettingsTest, BackendReadsDataOfUpTo255BytesLessTheLast) {
  const struct {
    std::string data;
    std::optional<std::string> text;
  } cases[] = {
      {"12345", "1234"},
      {std::string(255, 'x'), std::string(254, 'x')},
      {std::string(256, 'x'), std::nullopt},
  };
  for (const auto& [data, text] : cases) {
    SCOPED_TRACE(data.size());
    m_harness.SetDataByOtherProgram("Range", REG_BINARY, data);
    EXPECT_EQ(m_harness.Backend().ReadValue("Range"), text);
  }
  EXPECT_EQ(m_harness.Backend().ReadValue("Absent"), std::nullopt);
  ASSERT_TRUE(m_harness.Backend().WriteValue("Range", "ab"));
  EXPECT_EQ(m_harness.StoredData("Range"), "ab\0"s);
}

}  // namespace
}  // namespace ampelon
