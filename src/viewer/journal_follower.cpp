#include "viewer/journal_follower.h"

#include <cmath>
#include <limits>
#include <utility>

#include "measurement/graph_log_parser.h"

namespace ampelon {
namespace {

// Polls that times which started over alone wait for the journal to start over as well.
constexpr int kTimesAheadPollsAtMost = 2;

}  // namespace

JournalFollower::JournalFollower(std::filesystem::path journal, std::filesystem::path times)
    : m_journal(std::move(journal)),
      m_timesFile(std::move(times)),
      m_parser(std::make_unique<GraphLogParser>(GraphLogParser::kNoCapacityLimit)) {}

JournalFollower::~JournalFollower() = default;

void JournalFollower::StartOver() {
  m_parser = std::make_unique<GraphLogParser>(GraphLogParser::kNoCapacityLimit);
  m_charge = Charge{};
  m_timesApplied = 0;
}

JournalFollower::Change JournalFollower::Poll() {
  const Result<FollowedFile::Update> journal = m_journal.Read();
  if (!journal) {
    m_problem = journal.error();
    return Change::kNone;
  }
  m_problem.clear();
  if (journal->missing) {
    if (m_state != State::kFollowing) return Change::kNone;
    m_state = State::kEnded;
    // A journal that comes back is a new charge, whatever it holds.
    m_journal.Reset();
    m_timesFile.Reset();
    return Change::kEnded;
  }
  // Times that cannot be read this time are read at the next poll.
  Result<FollowedFile::Update> times = m_timesFile.Read();
  const bool timesFromStart = times && !times->missing && times->fromStart;

  Change change = Change::kNone;
  if (journal->fromStart || m_state != State::kFollowing) {
    StartOver();
    m_state = State::kFollowing;
    change = Change::kStartedOver;
    if (timesFromStart) {
      m_times = TimesParser();
      m_timesBelong = true;
    } else {
      // Unless the times started over shortly before, they are still the old journal's: the
      // new journal's times are the next ones to start from the first line.
      m_timesBelong = m_timesAheadPolls >= 0;
      m_timesAwaited = !m_timesBelong;
      if (!m_timesBelong) m_times = TimesParser();
    }
    m_timesAheadPolls = -1;
  } else if (timesFromStart) {
    m_times = TimesParser();
    m_timesApplied = 0;
    m_charge.seconds.clear();
    m_timesBelong = m_timesAwaited;
    m_timesAheadPolls = m_timesAwaited ? -1 : 0;
    m_timesAwaited = false;
  } else if (m_timesAheadPolls >= 0 && ++m_timesAheadPolls > kTimesAheadPollsAtMost) {
    // The journal did not follow: the times alone were written anew.
    m_timesAheadPolls = -1;
    m_timesBelong = true;
  }
  if (times && !times->missing && (m_timesBelong || m_timesAheadPolls >= 0)) {
    m_times.Feed(times->bytes);
  }

  const std::size_t before = m_parser->Readings().size();
  m_parser->Feed(journal->bytes);
  const auto& readings = m_parser->Readings();
  m_charge.counts.insert(m_charge.counts.end(),
                         readings.begin() + static_cast<std::ptrdiff_t>(before), readings.end());
  const bool timesChanged = ApplyTimes();
  if (change == Change::kNone && (readings.size() > before || timesChanged)) {
    change = Change::kGrew;
  }
  return change;
}

bool JournalFollower::ApplyTimes() {
  const bool shown = m_timesBelong && m_timesAheadPolls < 0;
  const std::vector<double>& seconds = m_times.Seconds();
  if (!shown || m_charge.counts.empty()) return false;
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
