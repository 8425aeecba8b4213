#include "journal/journal_recovery.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <limits>
#include <memory>
#include <span>
#include <system_error>
#include <vector>

#include "common/utf8_path.h"
#include "files/regular_file.h"
#include "files/rename_file.h"
#include "journal/journal_file.h"
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

struct CompleteLines {
  std::uintmax_t bytes = 0;
  std::uintmax_t lines = 0;
};

// The complete lines, at most `most` of them, at the start of a journal or its times: a power
// cut may leave a last line half-written or blocks of zero bytes after it. Such a tail is no
// reading, and a NUL makes the file no graph log.
Result<CompleteLines> CountCompleteLines(const fs::path& path, std::uintmax_t most) {
  Result<RegularFile> file = RegularFile::Open(path);
  if (!file) return Failure{file.error()};
  std::array<char, 65536> buffer{};
  std::uintmax_t offset = 0;
  CompleteLines complete;
  char previous = '\0';
  while (complete.lines < most) {
    const Result<std::size_t> count = file->Read(buffer);
    if (!count) return Failure{count.error()};
    for (std::size_t i = 0; i < *count && complete.lines < most; ++i) {
      if (buffer[i] == '\0') return complete;
      if (buffer[i] == '\n' && previous == '\r') complete = {offset + i + 1, complete.lines + 1};
      previous = buffer[i];
    }
    if (*count == 0) break;
    offset += *count;
  }
  return complete;
}

// Renames `from` to `to` and cuts it to its complete lines, at most `most`; how many it kept.
Result<std::uintmax_t> SetAsideFile(const fs::path& from, const fs::path& to, std::uintmax_t most) {
  std::error_code error;
  fs::rename(from, to, error);
  if (error) {
    return Failure{"Could not rename " + Utf8FromPath(from) + " to " + Utf8FromPath(to.filename()) +
                   ": " + error.message()};
  }
  // Renamed first, so that its readings are safe whatever fails after.
  const Result<CompleteLines> kept = CountCompleteLines(to, most);
  if (!kept) return Failure{"Could not read " + Utf8FromPath(to) + ": " + kept.error()};
  if (fs::file_size(to, error) != kept->bytes && !error) fs::resize_file(to, kept->bytes, error);
  if (error) return Failure{"Could not shorten " + Utf8FromPath(to) + ": " + error.message()};
  return kept->lines;
}

// The untold marker is a few names long; a larger one is no marker of this program's.
constexpr std::size_t kLongestUntoldMarker = 64 * 1024;
constexpr auto kAll = std::numeric_limits<std::uintmax_t>::max();

// The recovered journals that the untold marker in `folder` names, each once. Only plain
// names of recovered journals are taken from it: it can never make this program touch
// another file.
std::vector<std::string> ReadUntold(const fs::path& folder) {
  std::vector<std::string> names;
  Result<RegularFile> file = RegularFile::Open(folder / RecoveryJournal::kUntoldMarkerName);
  std::string text(kLongestUntoldMarker, '\0');
  std::size_t size = 0;
  while (file && size < text.size()) {
    const Result<std::size_t> count = file->Read(std::span(text).subspan(size));
    if (!count || *count == 0) break;
    size += *count;
  }
  text.resize(size);
  for (std::size_t start = 0, end = 0; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    const std::string name = text.substr(start, end - start);
    if (name.starts_with(kRecoveredPrefix) && name.ends_with(".log") &&
        name.find_first_of("/\\") == std::string::npos &&
        std::find(names.begin(), names.end(), name) == names.end()) {
      names.push_back(name);
    }
  }
  return names;
}

// Writes the untold marker anew, naming `names`, through a new file renamed into place (a
// marker cut short would forget a charge); removes it when there are none.
Result<void> WriteUntold(const fs::path& folder, const std::vector<std::string>& names) {
  const fs::path marker = folder / RecoveryJournal::kUntoldMarkerName;
  if (names.empty()) return RemoveFile(marker);
  std::string text;
  for (const std::string& name : names) text += name + '\n';
  const fs::path written = fs::path(marker) += ".new";
  {
    Result<std::unique_ptr<JournalFile>> file = JournalFile::Create(written);
    if (!file) return Failure{file.error()};
    if (const Result<void> appended = (*file)->Append(text); !appended) return appended;
  }
  return RenameFile(written, marker);
}

// Counts the readings Load Graph finds in a recovered journal.
Result<std::size_t> CountReadings(const fs::path& recovered) {
  GraphLogParser parser(SampleStore::kSampleCapacity);
  if (const Result<GraphLogReadOutcome> read = ReadGraphLogFile(recovered, parser); !read) {
    return Failure{read.error()};
  }
  return parser.Readings().size();
}

// recovered-<date>-<time>, or with -2, -3, ... added: a name that no .log or .times in `folder`
// has yet.
fs::path FreeRecoveredName(const fs::path& folder, const std::string& stamp) {
  const std::string base = std::string(kRecoveredPrefix) + stamp;
  std::string name = base;
  for (int number = 2;
       fs::exists(folder / (name + ".log")) || fs::exists(folder / (name + ".times")); ++number) {
    name = base + "-" + std::to_string(number);
  }
  return folder / name;
}

}  // namespace

Result<std::optional<RecoveredJournal>> RecoverJournal(const fs::path& folder) {
  const fs::path journal = folder / RecoveryJournal::kJournalName;
  const fs::path times = folder / RecoveryJournal::kTimesName;
  const fs::path marker = folder / RecoveryJournal::kSavedMarkerName;
  std::error_code error;
  // Only the file the journal writes vouches for its readings: a folder of that name does not.
  const bool saved = fs::symlink_status(marker, error).type() == fs::file_type::regular;
  const bool exists = fs::exists(journal, error);
  const Result<CompleteLines> kept =
      exists ? CountCompleteLines(journal, kAll) : Result<CompleteLines>(CompleteLines{});
  if (!kept) return Failure{"Could not read " + Utf8FromPath(journal) + ": " + kept.error()};
  if (saved || kept->lines == 0) {
    // Removed so that the names are free at once, also while the viewer holds the files.
    if (const Result<void> removed = RemoveFile(journal); !removed) {
      return Failure{"Could not remove " + Utf8FromPath(journal) + ": " + removed.error()};
    }
    (void)RemoveFile(times);
    (void)RemoveFile(marker);
    return std::optional<RecoveredJournal>{};
  }

  const fs::file_time_type written = fs::last_write_time(journal, error);
  if (error) return Failure{"Could not read " + Utf8FromPath(journal) + ": " + error.message()};
  const std::tm time = LocalTime(written);
  const fs::path name = FreeRecoveredName(folder, FormatTime(time, "%Y-%m-%d-%H%M%S"));
  const fs::path target = fs::path(name).concat(".log");
  // Named before anything moves, so that a program ended at any point after tells of the charge
  // at its next start.
  std::vector<std::string> untold = ReadUntold(folder);
  if (const std::string told = Utf8FromPath(target.filename());
      std::find(untold.begin(), untold.end(), told) == untold.end()) {
    untold.push_back(told);
  }
  if (const Result<void> marked = WriteUntold(folder, untold); !marked) {
    return Failure{"Could not write " + Utf8FromPath(folder / RecoveryJournal::kUntoldMarkerName) +
                   ": " + marked.error()};
  }
  if (const Result<std::uintmax_t> set = SetAsideFile(journal, target, kAll); !set) {
    return Failure{set.error()};
  }
  // From here on the readings are safe where they went, and a failure must say where that is.
  const auto failure = [&target](const std::string& reason) {
    return Failure{reason + "; the readings not saved are kept in " + Utf8FromPath(target)};
  };
  // The times go with their readings, line for line; a journal of an older version has none.
  if (fs::exists(times, error)) {
    const Result<std::uintmax_t> set =
        SetAsideFile(times, fs::path(name).concat(".times"), kept->lines);
    if (!set) return failure(set.error());
  }
  const Result<std::size_t> readings = CountReadings(target);
  if (!readings) return failure("Could not read " + Utf8FromPath(target) + ": " + readings.error());
  return std::optional<RecoveredJournal>{
      RecoveredJournal{*readings, FormatTime(time, "%Y-%m-%d %H:%M"), target}};
}

Result<std::vector<RecoveredJournal>> UntoldRecoveredJournals(const fs::path& folder) {
  const fs::path journal = folder / RecoveryJournal::kJournalName;
  const fs::path times = folder / RecoveryJournal::kTimesName;
  std::vector<RecoveredJournal> untold;
  for (const std::string& name : ReadUntold(folder)) {
    const fs::path log = folder / PathFromUtf8(name);
    const auto failure = [&log](const std::string& reason) {
      return Failure{reason + "; the readings not saved are kept in " + Utf8FromPath(log)};
    };
    std::error_code error;
    // Its readings never moved (the journal is still in place) or were removed since.
    const fs::file_time_type written = fs::last_write_time(log, error);
    if (error) continue;
    // The program ended between moving the readings and their times: the times follow now,
    // before this run's journal takes their name. With a journal in place, they are its own.
    const fs::path logTimes = fs::path(log).replace_extension(".times");
    if (!fs::exists(logTimes, error) && fs::exists(times, error) && !fs::exists(journal, error)) {
      const Result<CompleteLines> lines = CountCompleteLines(log, kAll);
      if (!lines) return failure("Could not read " + Utf8FromPath(log) + ": " + lines.error());
      const Result<std::uintmax_t> set = SetAsideFile(times, logTimes, lines->lines);
      if (!set) return failure(set.error());
    }
    const Result<std::size_t> readings = CountReadings(log);
    if (!readings) return failure("Could not read " + Utf8FromPath(log) + ": " + readings.error());
    untold.push_back({*readings, FormatTime(LocalTime(written), "%Y-%m-%d %H:%M"), log});
  }
  return untold;
}

void MarkTold(const fs::path& folder, const std::vector<fs::path>& told) {
  std::vector<std::string> left;
  for (const std::string& name : ReadUntold(folder)) {
    const bool isTold = std::any_of(told.begin(), told.end(), [&name](const fs::path& path) {
      return Utf8FromPath(path.filename()) == name;
    });
    std::error_code error;
    if (!isTold && fs::exists(folder / PathFromUtf8(name), error)) left.push_back(name);
  }
  // A marker that cannot be written names them again at the next start.
  (void)WriteUntold(folder, left);
}

void PruneRecoveredJournals(const fs::path& folder, const std::vector<fs::path>& told,
                            fs::file_time_type now) {
  struct Entry {
    fs::file_time_type written;
    fs::path path;
  };
  std::vector<Entry> recovered;
  std::error_code error;
  // A folder that cannot be listed to its end leaves everything where it is.
  fs::directory_iterator listed(folder, error);
  for (; !error && listed != fs::directory_iterator(); listed.increment(error)) {
    const std::string name = Utf8FromPath(listed->path().filename());
    if (!name.starts_with(kRecoveredPrefix) || !name.ends_with(".log")) continue;
    std::error_code timeError;
    const fs::file_time_type written = listed->last_write_time(timeError);
    // A time that cannot be read is no reason to remove a charge.
    if (!timeError) recovered.push_back({written, listed->path()});
  }
  if (error) return;
  if (recovered.size() <= kRecoveredJournalsKept) return;
  std::sort(recovered.begin(), recovered.end(), [](const Entry& a, const Entry& b) {
    return a.written != b.written ? a.written > b.written : a.path > b.path;
  });
  const fs::file_time_type oldestKept = now - kRecoveredJournalsKeptDays;
  // Nobody has been told of these yet.
  const std::vector<std::string> untoldNames = ReadUntold(folder);
  for (std::size_t i = kRecoveredJournalsKept; i < recovered.size(); ++i) {
    const Entry& entry = recovered[i];
    const bool justTold = std::any_of(told.begin(), told.end(), [&entry](const fs::path& path) {
      return path.filename() == entry.path.filename();
    });
    const bool untold = std::find(untoldNames.begin(), untoldNames.end(),
                                  Utf8FromPath(entry.path.filename())) != untoldNames.end();
    if (entry.written >= oldestKept || justTold || untold) continue;
    fs::remove(entry.path, error);
    fs::remove(fs::path(entry.path).replace_extension(".times"), error);
  }
}

}  // namespace ampelon
