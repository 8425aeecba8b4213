#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace ampelon {

// A charge's smoothed voltage as one mean a minute, for the rules that need minutes: slopes in
// millivolts a minute and how long the voltage has made no new high. Values come in time order;
// a minute is closed when a value of a later minute arrives.
class MinuteSeries {
 public:
  struct Point {
    double seconds;      // the mean time of the minute's values, from the charge's first reading
    std::size_t sample;  // the last reading that went into it
    double millivolts;   // the mean smoothed voltage
  };

  // Adds a smoothed value at `seconds` from the charge's first reading; true when it closed a
  // minute, which is then the last of Points().
  bool Add(double seconds, std::size_t sample, double millivolts) {
    // Most values fall in the minute being filled: that much is done where it is called.
    const bool closed =
        (seconds < m_minuteStart || seconds >= m_minuteStart + 60.0) && StartMinute(seconds);
    m_secondsSum += seconds;
    m_millivoltSum += millivolts;
    ++m_count;
    m_lastSample = sample;
    return closed;
  }

  const std::vector<Point>& Points() const { return m_points; }

  // The mean voltage and time of the last `minutes` closed minutes (a few) whose time is at
  // most `seconds`; nothing before the first minute.
  struct Mean {
    double seconds;
    double millivolts;
  };
  std::optional<Mean> MeanBefore(double seconds, int minutes) const;
  // Millivolts a minute between the means before `from` and before `to`; nothing when they lie
  // less than a minute apart.
  std::optional<double> SlopeBetween(double from, double to, int minutes) const;

 private:
  // Ends the minute being filled and starts the one of `seconds`; true when the one ended held
  // a value.
  bool StartMinute(double seconds);

  std::vector<Point> m_points;
  double m_minuteStart = -1e300;  // the minute being filled, in seconds
  double m_secondsSum = 0.0;
  double m_millivoltSum = 0.0;
  int m_count = 0;
  std::size_t m_lastSample = 0;
};

}  // namespace ampelon
