#include "journal/journal_recovery.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <system_error>
#include <vector>

#include "common/utf8_path.h"
#include "files/regular_file.h"
#include "journal/recovery_journal.h"
#include "measurement/graph_log_file.h"
#include "measurement/graph_log_parser.h"
#include "measurement/sample_store.h"

namespace ampelon {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRecoveredPrefix = "recovered-";

std::tm LocalTime(fs::file_time_type fileTime) {
  const auto systemTime = std::chrono::file_clock::to_sys(fileTime);
  const std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(systemTime));
  // Only the program's main thread formats times.
  const std::tm* local = std::localtime(&seconds);
  return local != nullptr ? *local : std::tm{};
}

std::string FormatTime(const std::tm& time, const char* format) {
  std::array<char, 64> text{};
  const std::size_t length = std::strftime(text.data(), text.size(), format, &time);
  return std::string(text.data(), length);
}

// How many bytes at the start of the journal are complete lines: a power cut may leave a last
// line half-written or blocks of zero bytes after it. Such a tail is no reading, and a NUL
// makes the file no graph log.
Result<std::uintmax_t> CompleteLinesLength(const fs::path& journal) {
  Result<RegularFile> file = RegularFile::Open(journal);
  if (!file) return Failure{file.error()};
  std::array<char, 65536> buffer{};
  std::uintmax_t offset = 0;
  std::uintmax_t complete = 0;
  char previous = '\0';
  while (true) {
    const Result<std::size_t> count = file->Read(buffer);
    if (!count) return Failure{count.error()};
    for (std::size_t i = 0; i < *count; ++i) {
      if (buffer[i] == '\0') return complete;
      if (buffer[i] == '\n' && previous == '\r') complete = offset + i + 1;
      previous = buffer[i];
    }
    if (*count == 0) return complete;
    offset += *count;
  }
}

// Counts the readings Load Graph finds in a recovered journal.
Result<std::size_t> CountReadings(const fs::path& recovered) {
  GraphLogParser parser(SampleStore::kSampleCapacity);
  if (const Result<GraphLogReadOutcome> read = ReadGraphLogFile(recovered, parser); !read) {
    return Failure{read.error()};
  }
  return parser.Readings().size();
}

// A name no file in `folder` has yet: recovered-<date>-<time>.log, or with -2, -3, ... added.
fs::path FreeRecoveredName(const fs::path& folder, const std::string& stamp) {
  fs::path candidate = folder / (std::string(kRecoveredPrefix) + stamp + ".log");
  for (int number = 2; fs::exists(candidate); ++number) {
    candidate =
        folder / (std::string(kRecoveredPrefix) + stamp + "-" + std::to_string(number) + ".log");
  }
  return candidate;
}

// Removes all but the newest recovered journals; one that cannot be removed stays.
void RemoveOldRecovered(const fs::path& folder) {
  struct Entry {
    fs::file_time_type written;
    fs::path path;
  };
  std::vector<Entry> recovered;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = Utf8FromPath(entry.path().filename());
    if (name.starts_with(kRecoveredPrefix) && name.ends_with(".log")) {
      recovered.push_back({entry.last_write_time(error), entry.path()});
    }
  }
  if (recovered.size() <= kRecoveredJournalsKept) return;
  std::sort(recovered.begin(), recovered.end(), [](const Entry& a, const Entry& b) {
    return a.written != b.written ? a.written > b.written : a.path > b.path;
  });
  for (std::size_t i = kRecoveredJournalsKept; i < recovered.size(); ++i) {
    fs::remove(recovered[i].path, error);
  }
}

}  // namespace

Result<std::optional<RecoveredJournal>> RecoverJournal(const fs::path& folder) {
  const fs::path journal = folder / RecoveryJournal::kJournalName;
  const fs::path marker = folder / RecoveryJournal::kSavedMarkerName;
  std::error_code error;
  const bool saved = fs::exists(marker, error);
  if (!fs::exists(journal, error)) {
    fs::remove(marker, error);
    return std::optional<RecoveredJournal>{};
  }
  const Result<std::uintmax_t> kept = CompleteLinesLength(journal);
  if (!kept) return Failure{"Could not read " + Utf8FromPath(journal) + ": " + kept.error()};
  if (saved || *kept == 0) {
    fs::remove(journal, error);
    if (error) return Failure{"Could not remove " + Utf8FromPath(journal) + ": " + error.message()};
    fs::remove(marker, error);
    return std::optional<RecoveredJournal>{};
  }

  const fs::file_time_type written = fs::last_write_time(journal, error);
  if (error) return Failure{"Could not read " + Utf8FromPath(journal) + ": " + error.message()};
  const std::tm time = LocalTime(written);
  const fs::path target = FreeRecoveredName(folder, FormatTime(time, "%Y-%m-%d-%H%M%S"));
  fs::rename(journal, target, error);
  if (error) {
    return Failure{"Could not rename " + Utf8FromPath(journal) + " to " +
                   Utf8FromPath(target.filename()) + ": " + error.message()};
  }
  // Set aside first, so that its readings are safe whatever fails after.
  if (fs::file_size(target, error) != *kept && !error) fs::resize_file(target, *kept, error);
  if (error) return Failure{"Could not shorten " + Utf8FromPath(target) + ": " + error.message()};
  const Result<std::size_t> readings = CountReadings(target);
  if (!readings) return Failure{"Could not read " + Utf8FromPath(target) + ": " + readings.error()};
  RemoveOldRecovered(folder);
  return std::optional<RecoveredJournal>{
      RecoveredJournal{*readings, FormatTime(time, "%Y-%m-%d %H:%M"), target}};
}

}  // namespace ampelon
