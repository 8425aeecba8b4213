#include "viewer/journal_follower.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "measurement/graph_log_parser.h"

namespace ampelon {
namespace {

// Polls that readings wait for times that do not come before they are shown without them:
// Ampelon writes a reading's time right after the reading.
constexpr int kPollsWaitingForTimes = 3;

}  // namespace

JournalFollower::JournalFollower(std::filesystem::path journal, std::filesystem::path times)
    : m_journal(std::move(journal)),
      m_timesFile(std::move(times)),
      m_parser(std::make_unique<GraphLogParser>(GraphLogParser::kNoCapacityLimit)) {}

JournalFollower::~JournalFollower() = default;

void JournalFollower::StartOver() {
  m_parser = std::make_unique<GraphLogParser>(GraphLogParser::kNoCapacityLimit);
  m_charge = Charge{};
  m_timesFile.Reset();
  m_times = TimesParser();
  m_timesFound = false;
  m_pollsWithoutTimes = 0;
  m_timesApplied = 0;
}

JournalFollower::Change JournalFollower::Poll() {
  Result<std::optional<RegularFile>> journal = m_journal.Open();
  if (!journal) {
    m_problem = journal.error();
    m_journal.LetGo();
    m_timesFile.LetGo();
    return Change::kNone;
  }
  m_problem.clear();
  if (!*journal) {
    if (m_state != State::kFollowing) return Change::kNone;
    m_state = State::kEnded;
    // A journal that comes back is a new charge, whatever it holds.
    m_journal.Reset();
    m_timesFile.Reset();
    return Change::kEnded;
  }
  // Ampelon removes the old times before it puts a new journal in place, and puts the new
  // times there only after it: times found while the journal stays in place are its own.
  // Times that cannot be read this time are read at the next poll.
  Result<std::optional<RegularFile>> times = m_timesFile.Open();
  const bool timesOwn = times && *times && m_journal.InPlace(**journal);

  const Result<FollowedFile::Update> read = m_journal.Read(std::move(**journal));
  if (!read) {
    m_problem = read.error();
    return Change::kNone;
  }
  Change change = Change::kNone;
  if (read->fromStart || m_state != State::kFollowing) {
    StartOver();
    m_state = State::kFollowing;
    change = Change::kStartedOver;
  }
  m_parser->Feed(read->bytes);

  const std::size_t timesBefore = m_times.Seconds().size();
  if (timesOwn && ReadTimes(std::move(**times))) change = Change::kStartedOver;
  const std::size_t shown = m_charge.counts.size();
  ShowReadings(m_times.Seconds().size() > timesBefore);
  const bool timesChanged = ApplyTimes();
  if (change == Change::kNone && (m_charge.counts.size() > shown || timesChanged)) {
    change = Change::kGrew;
  }
  return change;
}

bool JournalFollower::ReadTimes(RegularFile file) {
  const Result<FollowedFile::Update> read = m_timesFile.Read(std::move(file));
  if (!read) return false;
  // Times written anew or cut while the journal went on: every reading gets its time again.
  const bool startedOver = read->fromStart && m_timesFound;
  if (startedOver) {
    m_times = TimesParser();
    m_charge.seconds.clear();
    m_timesApplied = 0;
  }
  m_timesFound = true;
  m_times.Feed(read->bytes);
  return startedOver;
}

void JournalFollower::ShowReadings(bool timesGrew) {
  const std::vector<std::int16_t>& readings = m_parser->Readings();
  std::size_t shown = readings.size();
  if (m_timesFound && m_times.Seconds().size() < shown) {
    m_pollsWithoutTimes = timesGrew ? 0 : m_pollsWithoutTimes + 1;
    if (m_pollsWithoutTimes < kPollsWaitingForTimes) {
      shown = std::max(m_charge.counts.size(), m_times.Seconds().size());
    }
  } else {
    m_pollsWithoutTimes = 0;
  }
  m_charge.counts.insert(m_charge.counts.end(),
                         readings.begin() + static_cast<std::ptrdiff_t>(m_charge.counts.size()),
                         readings.begin() + static_cast<std::ptrdiff_t>(shown));
}

bool JournalFollower::ApplyTimes() {
  const std::vector<double>& seconds = m_times.Seconds();
  if (m_charge.counts.empty()) return false;
  const std::size_t known = std::min(seconds.size(), m_charge.counts.size());
  if (m_charge.seconds.empty()) {
    // No times are known until the first line that holds one.
    std::size_t first = m_timesApplied;
    while (first < known && !std::isfinite(seconds[first])) ++first;
    if (first == known) {
      m_timesApplied = known;
      return false;
    }
    m_charge.seconds.assign(m_charge.counts.size(), std::numeric_limits<double>::quiet_NaN());
  }
  const std::size_t applied = m_timesApplied;
  m_charge.seconds.resize(m_charge.counts.size(), std::numeric_limits<double>::quiet_NaN());
  for (std::size_t i = applied; i < known; ++i) m_charge.seconds[i] = seconds[i];
  m_timesApplied = known;
  return known > applied;
}

}  // namespace ampelon
