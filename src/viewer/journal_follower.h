#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "measurement/times_parser.h"
#include "viewer/charge.h"
#include "viewer/followed_file.h"

namespace ampelon {

class GraphLogParser;

// Follows the charge that Ampelon is recording, through its recovery journal and the times file
// beside it: Poll(), once a second, reads what was added since. A journal written anew (a graph
// log was loaded) starts the charge over; a journal that is gone (the charge ended cleanly)
// leaves the charge as it was. Times are taken only from the times file of the journal being
// read, and a reading joins the charge once its time was read (or after a few polls without
// it), so that it lands on the time axis. Only reads: the journal belongs to the recording
// program.
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
  // Reads the journal's times (`file`, found beside the journal while the journal stayed in
  // place); whether they started over after times were read.
  bool ReadTimes(RegularFile file);
  // Adds the readings read so far to the charge, those whose times are still to come only once
  // they were waited for long enough.
  void ShowReadings(bool timesGrew);
  // Brings the charge's times up to the readings and times read so far.
  bool ApplyTimes();

  FollowedFile m_journal;
  FollowedFile m_timesFile;
  std::unique_ptr<GraphLogParser> m_parser;
  TimesParser m_times;
  Charge m_charge;
  State m_state = State::kWaiting;
  std::string m_problem;
  bool m_timesFound = false;       // the journal's times were read: its readings wait for them
  int m_pollsWithoutTimes = 0;     // polls in a row that readings waited and no time came
  std::size_t m_timesApplied = 0;  // readings whose time the charge holds from m_times
};

}  // namespace ampelon
