#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/charge_figures.h"
#include "analysis/charge_judge.h"
#include "analysis/charge_rules.h"

namespace ampelon {

// Judges every charge in a run of readings: the running charge fed as its readings arrive, or a
// whole log in one pass; both give the same figures. A battery changed while the readings went
// on starts a new charge (charge_rules.h), judged on its own. Whether a reading starts one is
// decided once the two after it are known, so the last two readings fed count in the last
// charge's length but are judged with the next ones.
class ChargeAnalyser {
 public:
  explicit ChargeAnalyser(double peakDropMillivolts = charge_rules::kPeakDropMillivolts);

  // The readings that follow those fed before, and their times in seconds on one clock: empty
  // when none is known, NaN or below zero for a reading whose time is not. Costs a few steps a
  // reading.
  void Feed(std::span<const std::int16_t> counts, std::span<const double> seconds);

  std::size_t ReadingsFed() const { return m_fed; }
  // At least one once a reading was fed.
  std::size_t ChargeCount() const { return m_charges.size(); }
  ChargeFigures Figures(std::size_t charge) const;
  std::vector<ChargeFigures> AllFigures() const;
  // Figures(charge).end, at the cost of a look-up: for a live charge, asked at every event.
  ChargeEnd End(std::size_t charge) const { return m_charges[charge].End(); }
  // The charge's smoothed voltage a minute (only where its times are known).
  const MinuteSeries& Minutes(std::size_t charge) const { return m_charges[charge].Minutes(); }

 private:
  // Readings around those not yet decided: the last kRecent fed.
  static constexpr std::size_t kRecent = 6;

  bool StartsCharge(std::size_t sample) const;
  std::int16_t CountAt(std::size_t sample) const;
  double SecondsAt(std::size_t sample) const;
  // Hands the readings from m_decided up to `end` (exclusive, 0-based) to their charges.
  void Commit(std::size_t end);
  void Judge(std::size_t begin, std::size_t end);

  double m_peakDrop;
  std::size_t m_fed = 0;
  std::size_t m_decided = 0;  // readings handed to a charge
  // The readings being fed, and the last kRecent of those fed before them.
  std::span<const std::int16_t> m_counts;
  std::span<const double> m_seconds;
  std::array<std::int16_t, kRecent> m_recentCounts{};
  std::array<double, kRecent> m_recentSeconds{};
  std::size_t m_spanStart = 0;  // the first sample of m_counts, 0-based
  double m_lastSeconds;         // the time of the last reading fed
  std::vector<ChargeJudge> m_charges;
};

}  // namespace ampelon
