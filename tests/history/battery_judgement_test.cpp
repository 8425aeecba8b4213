#include "history/battery_judgement.h"

#include <gtest/gtest.h>

namespace ampelon {
namespace {

// One charge: minutes to its peak (0: no times), its drop after the peak, its peak voltage and
// the current it was charged at (0: not given).
struct Charge {
  double minutesToPeak = 90.0;
  double dropMillivolts = 8.0;
  double peakVolts = 1.48;
  int milliamps = 0;
  ChargeEnd end = ChargeEnd::kPeakPassed;
};

std::vector<ChargeRecord> Records(const std::vector<Charge>& charges) {
  std::vector<ChargeRecord> records;
  for (const Charge& charge : charges) {
    ChargeRecord& record = records.emplace_back();
    if (charge.minutesToPeak > 0.0) record.figures.peakSeconds = charge.minutesToPeak * 60.0;
    record.figures.dropMillivolts = charge.dropMillivolts;
    record.figures.peakVolts = charge.peakVolts;
    record.figures.end = charge.end;
    if (charge.milliamps > 0) record.details.currentMilliamps = charge.milliamps;
  }
  return records;
}

TEST(JudgeBattery, ComparesTheLatestChargesWithTheFirstAtOneCurrent) {
  const Charge usual;
  const Charge shorter{70.2};
  const Charge flat{90.0, 3.0};
  const Charge higher{90.0, 8.0, 1.512};
  const Charge unfinished{60.0, 0.0, 1.45, 0, ChargeEnd::kRising};
  const struct {
    std::vector<Charge> charges;
    const char* judgement;
  } rows[] = {
      {{usual, shorter}, "Not enough charges to judge yet."},
      {{usual, usual, unfinished, unfinished}, "Not enough charges to judge yet."},
      {{usual, usual, usual, usual, usual, usual}, "No clear change since its first 3 charges."},
      {{usual, usual, usual, shorter, shorter, shorter},
       "Time to peak is 22 % shorter than in its first 3 charges: it holds less charge than it "
       "did."},
      // A fifth shorter is within what a cell put in less empty shows.
      {{usual, usual, usual, {72.0}, {72.0}, {72.0}}, "No clear change since its first 3 charges."},
      {{usual, shorter, shorter},
       "Time to peak is 22 % shorter than in its first charge: it holds less charge than it did."},
      {{{90, 14}, {90, 14}, {90, 13}, {90, 3}, {90, 3}, {90, 4}},
       "The drop after the peak has faded from 14 mV to 3 mV: the cell may be ageing."},
      {{usual, usual, usual, flat, flat, flat, flat},
       "The drop after the peak has faded from 8 mV to 3 mV: the cell may be ageing."},
      {{usual, usual, higher, higher},
       "The peak voltage has climbed from 1.480 V to 1.512 V: its internal resistance is growing."},
      // Without times only the drop and the peak can tell.
      {{{0}, {0}, {0}, {0}}, "No clear change since its first 2 charges."},
      // Charged faster lately: the faster charges are judged among themselves.
      {{{120, 8, 1.48, 1000}, {120, 8, 1.48, 1000}, {90, 8, 1.48, 2000}, {90, 8, 1.48, 2000}},
       "Not enough charges to judge yet."},
      {{{90, 8, 1.48, 2000},
        {120, 8, 1.48, 1000},
        {90, 8, 1.48, 2000},
        {60, 8, 1.48, 2000},
        {60, 8, 1.48, 2000}},
       "Time to peak is 33 % shorter than in its first 2 charges: it holds less charge than it "
       "did."},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(JudgeBattery(Records(row.charges)), row.judgement);
  }
}

}  // namespace
}  // namespace ampelon
