// The journal follower on real files in a folder of its own, driven by operations read from the
// input, one control byte each (then its bytes): bytes added to the journal or to its times,
// readings added to both as Ampelon adds them, both written anew as Ampelon writes them (each
// step its own operation, so that polls fall between the steps, and a second rewrite may start
// before a poll saw the first), either file cut short, both removed, and polls.
// Checked after every poll: the charge's readings are the first readings of the journal in
// place, never more and never others; every time it shows is the one that line of the journal's
// own times gives, never one of another journal's times, and with the times file in place every
// time read is shown. After polls with nothing written, every reading of the journal is shown.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "files/rename_file.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "measurement/graph_log_parser.h"
#include "measurement/times_parser.h"
#include "viewer/journal_follower.h"

namespace ampelon::fuzz {
namespace {

namespace fs = std::filesystem;

// Enough polls with nothing written for readings to stop waiting for their times.
constexpr int kQuietPolls = 4;

// A folder of this process's own, removed when it ends.
struct Folder {
  Folder() { fs::create_directories(path); }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path =
      fs::temp_directory_path() / ("ampelon-follower-fuzz-" + std::to_string(::getpid()));
};

const fs::path& FolderPath() {
  static const Folder folder;
  return folder.path;
}

std::string TakeBytes(FuzzInput& input) {
  std::string bytes;
  for (std::size_t count = input.TakeByte(); count > 0; --count) {
    bytes += static_cast<char>(input.TakeByte());
  }
  return bytes;
}

bool SameTime(double a, double b) { return std::isnan(a) ? std::isnan(b) : a == b; }

// The files as they are on disk, and the times that belong to the journal in place.
class Journal {
 public:
  Journal()
      : m_journal(FolderPath() / "charge-journal.log"),
        m_times(FolderPath() / "charge-journal.times") {
    for (const fs::path& path : {m_journal, m_times, NewPath(m_journal), NewPath(m_times)}) {
      FUZZ_CHECK(RemoveFile(path));
    }
  }

  void AddToJournal(const std::string& bytes) {
    FinishRewrite();
    Append(m_journal, bytes);
    m_journalBytes = m_journalBytes.value_or("") + bytes;
  }
  void AddToTimes(const std::string& bytes) {
    FinishRewrite();
    if (!m_timesBytes) return;  // Ampelon adds times only beside a journal, after it
    Append(m_times, bytes);
    *m_timesBytes += bytes;
    m_ownTimes += bytes;
  }
  // As Ampelon adds readings: the readings first, then their times.
  void AddReadings(const std::string& values) {
    std::string readings;
    std::string times;
    for (const char value : values) {
      readings += std::to_string(static_cast<signed char>(value)) + "\r\n";
      // Each journal's times differ from every other's.
      times += std::to_string(m_generation) + "." + std::to_string(m_added++ % 1000) + "\r\n";
    }
    AddToJournal(readings);
    AddToTimes(times);
  }
  void StartRewrite(const std::string& journal, const std::string& times) {
    FinishRewrite();
    Write(NewPath(m_journal), journal);
    Write(NewPath(m_times), times);
    m_pending = {journal, times};
    m_step = 0;
  }
  // Ampelon's steps: the old times go, then the new journal comes, then its times.
  void NextRewriteStep() {
    if (!m_pending) return;
    switch (m_step++) {
      case 0:
        FUZZ_CHECK(RemoveFile(m_times));
        m_timesBytes.reset();
        break;
      case 1:
        FUZZ_CHECK(RenameFile(NewPath(m_journal), m_journal));
        m_journalBytes = m_pending->first;
        m_ownTimes.clear();
        ++m_generation;
        break;
      default:
        FUZZ_CHECK(RenameFile(NewPath(m_times), m_times));
        m_timesBytes = m_ownTimes = m_pending->second;
        m_pending.reset();
    }
  }
  void FinishRewrite() {
    while (m_pending) NextRewriteStep();
  }
  void CutJournal(std::uint8_t share) { Cut(m_journal, m_journalBytes, share); }
  void CutTimes(std::uint8_t share) {
    if (Cut(m_times, m_timesBytes, share)) m_ownTimes = *m_timesBytes;
  }
  void End() {
    FinishRewrite();
    FUZZ_CHECK(RemoveFile(m_journal));
    FUZZ_CHECK(RemoveFile(m_times));
    m_journalBytes.reset();
    m_timesBytes.reset();
    m_ownTimes.clear();
  }

  const fs::path& JournalPath() const { return m_journal; }
  const fs::path& TimesPath() const { return m_times; }
  const std::optional<std::string>& JournalBytes() const { return m_journalBytes; }
  bool TimesInPlace() const { return m_timesBytes.has_value(); }
  const std::string& OwnTimes() const { return m_ownTimes; }

 private:
  static fs::path NewPath(const fs::path& path) { return fs::path(path) += ".new"; }
  static void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    FUZZ_CHECK(file.flush());
  }
  static void Append(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::app);
    file << bytes;
    FUZZ_CHECK(file.flush());
  }
  // Cut to `share`/256 of its length; false when there is no such file.
  bool Cut(const fs::path& path, std::optional<std::string>& bytes, std::uint8_t share) {
    FinishRewrite();
    if (!bytes) return false;
    bytes->resize(bytes->size() * share / 256);
    fs::resize_file(path, bytes->size());
    return true;
  }

  fs::path m_journal;
  fs::path m_times;
  std::optional<std::string> m_journalBytes;
  std::optional<std::string> m_timesBytes;
  std::string m_ownTimes;  // the times of the journal in place, as far as written
  std::optional<std::pair<std::string, std::string>> m_pending;  // a rewrite under way
  int m_step = 0;
  int m_generation = 0;
  int m_added = 0;
};

void CheckCharge(const JournalFollower& follower, const Journal& journal, bool quiet) {
  if (!journal.JournalBytes()) {
    FUZZ_CHECK(follower.GetState() != JournalFollower::State::kFollowing);
    return;
  }
  FUZZ_CHECK(follower.GetState() == JournalFollower::State::kFollowing);
  GraphLogParser parser(GraphLogParser::kNoCapacityLimit);
  parser.Feed(*journal.JournalBytes());
  const std::vector<std::int16_t>& readings = parser.Readings();
  const Charge& charge = follower.GetCharge();
  FUZZ_CHECK(charge.counts.size() <= readings.size());
  FUZZ_CHECK(std::equal(charge.counts.begin(), charge.counts.end(), readings.begin()));
  if (quiet) FUZZ_CHECK(charge.counts.size() == readings.size());

  TimesParser timesParser;
  timesParser.Feed(journal.OwnTimes());
  const std::vector<double>& own = timesParser.Seconds();
  const auto ownTime = [&](std::size_t i) { return i < own.size() ? own[i] : NAN; };
  if (charge.seconds.empty()) {
    for (std::size_t i = 0; i < charge.counts.size() && journal.TimesInPlace(); ++i) {
      FUZZ_CHECK(!std::isfinite(ownTime(i)));
    }
    return;
  }
  FUZZ_CHECK(charge.seconds.size() == charge.counts.size());
  for (std::size_t i = 0; i < charge.seconds.size(); ++i) {
    // Times added and then removed before the poll were never seen.
    FUZZ_CHECK(SameTime(charge.seconds[i], ownTime(i)) ||
               (!journal.TimesInPlace() && std::isnan(charge.seconds[i])));
  }
}

}  // namespace
}  // namespace ampelon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ampelon;
  using namespace ampelon::fuzz;
  FuzzInput input(data, size);
  Journal journal;
  JournalFollower follower(journal.JournalPath(), journal.TimesPath());
  const auto poll = [&] {
    follower.Poll();
    FUZZ_CHECK(follower.Problem().empty());
    CheckCharge(follower, journal, false);
  };
  while (!input.Rest().empty()) {
    switch (input.TakeByte() % 9) {
      case 0:
        journal.AddToJournal(TakeBytes(input));
        break;
      case 1:
        journal.AddToTimes(TakeBytes(input));
        break;
      case 2:
        journal.AddReadings(TakeBytes(input));
        break;
      case 3: {
        const std::string newJournal = TakeBytes(input);
        journal.StartRewrite(newJournal, TakeBytes(input));
        break;
      }
      case 4:
        journal.NextRewriteStep();
        break;
      case 5:
        // Cut short and looked at before anything is added: a file cut and grown again in
        // place between two polls cannot be told from one that only grew.
        journal.CutJournal(input.TakeByte());
        poll();
        break;
      case 6:
        journal.CutTimes(input.TakeByte());
        poll();
        break;
      case 7:
        journal.End();
        break;
      default:
        poll();
    }
  }
  journal.FinishRewrite();
  for (int i = 0; i < kQuietPolls; ++i) poll();
  CheckCharge(follower, journal, true);
  return 0;
}
