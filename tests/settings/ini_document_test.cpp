#include "settings/ini_document.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace ampelon {
namespace {

// Files as a user or another program may write them by hand.
TEST(IniDocumentTest, ReadsGeneralValuesOfHandWrittenFiles) {
  const struct {
    const char* text;
    const char* key;
    std::optional<std::string> expected;
  } cases[] = {
      {"[General]\nRange=.3\n", "Range", ".3"},
      {"Range=.3\n[Ports]\nCOM2=/dev/pts/3\n", "Range", ".3"},  // before any header
      {"[Ports]\nRange=.3\n", "Range", std::nullopt},           // another group
      {"[Ports]\nCOM2=x\n[general]\r\n Range = .5 \r\n", "Range", ".5"},
      {"\xEF\xBB\xBFRange=1", "Range", "1"},
      {"Last%20Path=/a/\n", "Last Path", "/a/"},
      {"Last Path=/b/\n", "Last Path", "/b/"},
      {"Range=1\nRange=2\n", "Range", "2"},  // the last one wins
      {"; Range=1\n", "Range", std::nullopt},
      {"Range=.3 ; comment\n", "Range", ".3"},
      {"Range=\" a;b \"\n", "Range", " a;b "},
      {"Range=\"a\\\"b\\\\\"\n", "Range", "a\"b\\"},
      {"Range=\"@@x\"\n", "Range", "@x"},
      {"Range=\\x41\\x62\\t\\101\n", "Range",
       "Ab\t"
       "A"},
      {"Range=\\x00e9\n", "Range", "\xC3\xA9"},
  };
  for (const auto& [text, key, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(IniDocument(text).Value(key), expected);
  }
}

TEST(IniDocumentTest, SetValueChangesOnlyItsLine) {
  const struct {
    const char* before;
    const char* key;
    const char* after;
  } cases[] = {
      {"", "Range", "[General]\nRange=\".3\"\n"},
      {"[Ports]\nCOM2=/dev/pts/3\n", "Range",
       "[General]\nRange=\".3\"\n\n[Ports]\nCOM2=/dev/pts/3\n"},
      {"[General]\nA=1\n\n[Ports]\nCOM2=x", "Last Path",
       "[General]\nA=1\nLast%20Path=\".3\"\n\n[Ports]\nCOM2=x\n"},
      {"Range=1\r\nX=0\r\nRange=2\r\n[Ports]\r\nRange=9\r\n", "Range",
       "Range=\".3\"\r\nX=0\r\n[Ports]\r\nRange=9\r\n"},
  };
  for (const auto& [before, key, after] : cases) {
    SCOPED_TRACE(before);
    IniDocument document(before);
    document.SetValue(key, ".3");
    EXPECT_EQ(document.Text(), after);
  }
}

}  // namespace
}  // namespace ampelon
