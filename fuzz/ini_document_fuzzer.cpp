// The settings file's INI text: arbitrary bytes as the file, and one value of arbitrary bytes set
// and then removed under a key the input chooses, in the general section, [Ports] or another
// group.
// Checked: any bytes parse and are written back unchanged; after a set the value reads back
// exactly, also from the written text, while every other probed key, every comment line and a
// leading byte order mark stay as they were; after a remove the key is gone and the other keys
// are untouched.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "settings/ini_document.h"

namespace ampelon::fuzz {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::array<std::string_view, 3> kGroups = {IniDocument::kGeneral, "Ports", "Extra"};

struct Probe {
  std::string_view group;
  std::string_view key;
};
// Keys the program and the charger use, which a change of another key must leave alone.
constexpr std::array<Probe, 6> kProbes = {{{IniDocument::kGeneral, "Range"},
                                           {IniDocument::kGeneral, "Last Path"},
                                           {"Ports", "COM2"},
                                           {"Ports", "COM3"},
                                           {"Extra", "COM2"},
                                           {"Extra", "Range"}}};

std::string TakeText(FuzzInput& input, std::size_t longest) {
  std::string text(input.TakeByte() % (longest + 1), '\0');
  for (char& c : text) c = static_cast<char>(input.TakeByte());
  return text;
}

std::vector<std::optional<std::string>> ProbeValues(const IniDocument& document) {
  std::vector<std::optional<std::string>> values;
  for (const Probe& probe : kProbes) values.push_back(document.Value(probe.group, probe.key));
  return values;
}

// The comment lines of a text (first non-blank ';'), as they stand.
std::vector<std::string> CommentLines(std::string_view text) {
  std::vector<std::string> comments;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos && line[first] == ';') comments.emplace_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return comments;
}

// After a change of `changed`, every other probe reads as before, in the document and in a
// document parsed from its text.
void CheckOthersKept(const IniDocument& document, const Probe& changed,
                     const std::vector<std::optional<std::string>>& before) {
  const IniDocument reread(document.Text());
  for (std::size_t i = 0; i < kProbes.size(); ++i) {
    if (kProbes[i].group == changed.group && kProbes[i].key == changed.key) continue;
    FUZZ_CHECK(document.Value(kProbes[i].group, kProbes[i].key) == before[i]);
    FUZZ_CHECK(reread.Value(kProbes[i].group, kProbes[i].key) == before[i]);
  }
}

void CheckKeptAround(std::string_view original, std::string_view changed) {
  if (original.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    FUZZ_CHECK(changed.substr(0, kByteOrderMark.size()) == kByteOrderMark);
  }
  const std::vector<std::string> after = CommentLines(changed);
  for (const std::string& comment : CommentLines(original)) {
    FUZZ_CHECK(std::find(after.begin(), after.end(), comment) != after.end());
  }
}

}  // namespace
}  // namespace ampelon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ampelon;
  using namespace ampelon::fuzz;
  FuzzInput input(data, size);
  const std::string_view group = kGroups[input.TakeByte() % kGroups.size()];
  const std::uint8_t keyChoice = input.TakeByte();
  // A probed key half of the time, so that changes meet the entries of the seed files; else one
  // of 1 to 12 arbitrary bytes.
  const std::string key = keyChoice % 2 == 0
                              ? std::string(kProbes[keyChoice / 2 % kProbes.size()].key)
                              : static_cast<char>(keyChoice) + TakeText(input, 11);
  const std::string value = TakeText(input, 40);
  const std::string_view text = input.Rest();

  IniDocument document(text);
  FUZZ_CHECK(document.Text() == text);
  const std::vector<std::optional<std::string>> before = ProbeValues(document);
  const Probe changed{group, key};

  document.SetValue(group, key, value);
  FUZZ_CHECK(document.Value(group, key) == value);
  FUZZ_CHECK(IniDocument(document.Text()).Value(group, key) == value);
  CheckOthersKept(document, changed, before);
  CheckKeptAround(text, document.Text());

  document.RemoveValue(group, key);
  FUZZ_CHECK(!document.Value(group, key).has_value());
  FUZZ_CHECK(!IniDocument(document.Text()).Value(group, key).has_value());
  CheckOthersKept(document, changed, before);
  return 0;
}
