#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "viewer/charge.h"
#include "viewer/followed_file.h"
#include "viewer/times_parser.h"

namespace ampelon {

class GraphLogParser;

// Follows the charge that Ampelon is recording, through its recovery journal and the times file
// beside it: Poll(), once a second, reads what was added since. A journal written anew (a graph
// log was loaded) starts the charge over; a journal that is gone (the charge ended cleanly)
// leaves the charge as it was. Only reads: the journal belongs to the recording program.
class JournalFollower {
 public:
  enum class State {
    kWaiting,    // no journal: no charge is being recorded
    kFollowing,  // the journal is there and being read
    kEnded,      // the journal was there and is gone
  };
  enum class Change {
    kNone,
    kGrew,         // readings or times were added to the charge
    kStartedOver,  // the charge was replaced (found, or written anew)
    kEnded,        // the journal went away; the charge is kept
  };

  JournalFollower(std::filesystem::path journal, std::filesystem::path times);
  ~JournalFollower();

  Change Poll();

  const Charge& GetCharge() const { return m_charge; }
  State GetState() const { return m_state; }
  // Why the journal could not be read at the last poll; empty when it could.
  const std::string& Problem() const { return m_problem; }

 private:
  void StartOver();
  // Brings the charge's times up to the readings and times read so far.
  bool ApplyTimes();

  FollowedFile m_journal;
  FollowedFile m_timesFile;
  std::unique_ptr<GraphLogParser> m_parser;
  TimesParser m_times;
  Charge m_charge;
  State m_state = State::kWaiting;
  std::string m_problem;
  // The two files are written anew one after the other. Times read since the journal's last
  // start belong to it; times that started over alone wait a few polls for the journal to start
  // over too, and are hidden meanwhile.
  bool m_timesBelong = false;
  bool m_timesAwaited = false;     // the journal started over; its times have not yet
  int m_timesAheadPolls = -1;      // polls since the times started over alone; -1: they did not
  std::size_t m_timesApplied = 0;  // readings whose time the charge holds from m_times
};

}  // namespace ampelon
