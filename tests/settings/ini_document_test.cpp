#include "settings/ini_document.h"

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace ampelon {
namespace {

// Files as a user, Qt or an earlier version may have written them.
TEST(IniDocumentTest, ReadsHandWrittenFiles) {
  const struct {
    const char* text;
    const char* group;
    const char* key;
    std::optional<std::string> expected;
  } cases[] = {
      {"[General]\nRange=.3\n", "", "Range", ".3"},
      {"Range=.3\n[Ports]\nCOM2=/dev/pts/3\n", "", "Range", ".3"},  // before any header
      {"Range=.3\n[Ports]\nCOM2=/dev/pts/3\n", "Ports", "COM2", "/dev/pts/3"},
      {"[Ports]\nRange=.3\n", "", "Range", std::nullopt},  // another group
      {"Range=.3\n", "Ports", "Range", std::nullopt},
      {"[Ports]\nCOM2=x\n[general]\r\n Range = .5 \r\n", "General", "Range", ".5"},
      {"\xEF\xBB\xBFRange=1", "", "Range", "1"},
      {"\xEF\xBB\xBF[Ports]\r\nCOM2=/dev/pts/3\r\n", "Ports", "COM2", "/dev/pts/3"},
      {"Last%20Path=/a/\n", "", "Last Path", "/a/"},
      {"Last Path=/b/\n", "", "Last Path", "/b/"},
      {"Range=1\nRange=2\n", "", "Range", "2"},  // the last one wins
      {"[Ports]\nCOM2=a\n[X]\n[Ports]\nCOM2=b\n", "Ports", "COM2", "b"},
      {"[ports]\nCOM2=a\n[Ports]\ncom2=b\n", "Ports", "COM2", std::nullopt},  // names match exactly
      {"[Window]\nCOM5=/dev/wrong\n[Ports]\nCOM5=/dev/odd,name\n", "Ports", "COM5",
       "/dev/odd,name"},
      {"; Range=1\n", "", "Range", std::nullopt},
      {"Range=.3 ; comment\n", "", "Range", ".3"},
      {"[Ports]\nCOM3 = \"/dev/by-id/usb x\" ; an adapter\n", "Ports", "COM3", "/dev/by-id/usb x"},
      {"Range=\" a;b \"\n", "", "Range", " a;b "},
      {"Range=\"a\\\"b\\\\\"\n", "", "Range", "a\"b\\"},
      {"Range=\"@@x\"\n", "", "Range", "@x"},
      {"[Ports]\nCOM1=\"/tmp/tab\\011here\"\n", "Ports", "COM1", "/tmp/tab\there"},
      {"Range=\\x41\\x62\\t\\101\n", "", "Range", "Ab\tA"},
      {"Range=\\x00e9\n", "", "Range", "\xC3\xA9"},
  };
  for (const auto& [text, group, key, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(IniDocument(text).Value(group, key), expected);
  }
}

// SetValue(group, key, "x") and then RemoveValue(group, key) change only the key's own lines.
TEST(IniDocumentTest, SetAndRemoveChangeOnlyTheirLines) {
  const struct {
    const char* group;
    const char* key;
    std::string before;
    std::string set;
    std::string removed;
  } cases[] = {
      {"", "Range", "", "[General]\nRange=\"x\"\n", ""},
      {"", "Range", "[Ports]\nCOM2=/dev/pts/3\n",
       "[General]\nRange=\"x\"\n\n[Ports]\nCOM2=/dev/pts/3\n", "[Ports]\nCOM2=/dev/pts/3\n"},
      // The byte order mark stays the file's first bytes.
      {"", "Range", "\xEF\xBB\xBF[Ports]\r\nCOM2=/dev/pts/3\r\n",
       "\xEF\xBB\xBF[General]\r\nRange=\"x\"\r\n\r\n[Ports]\r\nCOM2=/dev/pts/3\r\n",
       "\xEF\xBB\xBF[Ports]\r\nCOM2=/dev/pts/3\r\n"},
      {"", "Range", "\xEF\xBB\xBF", "\xEF\xBB\xBF[General]\nRange=\"x\"\n", "\xEF\xBB\xBF"},
      {"", "Last Path", "[General]\nA=1\n\n[Ports]\nCOM2=x",
       "[General]\nA=1\nLast%20Path=\"x\"\n\n[Ports]\nCOM2=x", "[General]\nA=1\n\n[Ports]\nCOM2=x"},
      {"", "Range", "Range=1\r\nX=0\r\nRange=2\r\n[Ports]\r\nRange=9\r\n",
       "Range=\"x\"\r\nX=0\r\n[Ports]\r\nRange=9\r\n", "X=0\r\n[Ports]\r\nRange=9\r\n"},
      {"Ports", "COM2", "", "[Ports]\nCOM2=\"x\"\n", ""},
      {"Ports", "COM2", "[General]\r\nPort=2\r\n",
       "[General]\r\nPort=2\r\n\r\n[Ports]\r\nCOM2=\"x\"\r\n", "[General]\r\nPort=2\r\n"},
      {"Ports", "COM2", "\xEF\xBB\xBF; mine\nA=1\n",
       "\xEF\xBB\xBF; mine\nA=1\n\n[Ports]\nCOM2=\"x\"\n", "\xEF\xBB\xBF; mine\nA=1\n"},
      {"Ports", "COM2", "[Ports]\nCOM1=/dev/ttyUSB0\n; note\n\n[Window]\nCOM2=kept\n",
       "[Ports]\nCOM1=/dev/ttyUSB0\nCOM2=\"x\"\n; note\n\n[Window]\nCOM2=kept\n",
       "[Ports]\nCOM1=/dev/ttyUSB0\n; note\n\n[Window]\nCOM2=kept\n"},
      {"Ports", "COM2", "[Ports]\n[Window]\nTop=1", "[Ports]\nCOM2=\"x\"\n[Window]\nTop=1",
       "[Window]\nTop=1"},
      {"Ports", "COM2", "[Ports]\nCOM2=a\n[X]\n[Ports]\nCOM2=b\n",
       "[Ports]\nCOM2=\"x\"\n[X]\n[Ports]\n", "[X]\n"},
      {"Ports", "COM2", "[Ports]\nCOM22=a\ncom2=b\n", "[Ports]\nCOM22=a\ncom2=b\nCOM2=\"x\"\n",
       "[Ports]\nCOM22=a\ncom2=b\n"},
  };
  for (const auto& [group, key, before, set, removed] : cases) {
    SCOPED_TRACE(before);
    IniDocument document(before);
    document.SetValue(group, key, "x");
    EXPECT_EQ(document.Text(), set);
    EXPECT_EQ(IniDocument(document.Text()).Value(group, key), "x");
    document.RemoveValue(group, key);
    EXPECT_EQ(document.Text(), removed);
    EXPECT_EQ(IniDocument(document.Text()).Value(group, key), std::nullopt);
  }
}

// Whatever the value, it comes back, and every other line and value stays as it was.
TEST(IniDocumentTest, AwkwardValuesRoundTripWithoutTouchingTheirNeighbours) {
  const std::string before =
      "\xEF\xBB\xBF"
      "A=1\r\n[Ports]\r\nCOM1=/dev/x\r\n; comment\r\n[Other]\r\nB=\"2\"\r\n";
  const std::vector<std::string> values = {
      "line\nfeed",
      "carriage\rreturn",
      std::string("nul\0byte", 8),
      "k=v",
      "[Ports]",
      "\nB=3\n[Ports]\nCOM1=evil",
      "\"quoted\"",
      "C:\\dir\\",
      "@start",
      "  blanks  ",
      "",
      "a;b, c",
      "\x01"
      "bF",
      "\x7F\xFF\xC3\xA9",
      "\\x41\\n",
  };
  for (const std::string& value : values) {
    for (const char* group : {"", "Ports", "New"}) {
      SCOPED_TRACE(::testing::Message() << '[' << group << "] " << ::testing::PrintToString(value));
      IniDocument document(before);
      document.SetValue(group, "Key=[1]\n", value);
      const std::string text = document.Text();
      const IniDocument again(text);
      EXPECT_EQ(again.Value(group, "Key=[1]\n"), value);
      EXPECT_EQ(again.Value("", "A"), "1");
      EXPECT_EQ(again.Value("Ports", "COM1"), "/dev/x");
      EXPECT_EQ(again.Value("Other", "B"), "2");
      EXPECT_TRUE(
          text.starts_with("\xEF\xBB\xBF"
                           "A=1\r\n"))
          << text;
      std::istringstream lines(before.substr(3));
      for (std::string line; std::getline(lines, line);) {
        EXPECT_NE(text.find(line + '\n'), std::string::npos) << line;
      }
    }
  }
}

}  // namespace
}  // namespace ampelon
