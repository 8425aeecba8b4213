#include "bench_charge_library.h"

#include <cstdlib>
#include <random>
#include <string>

namespace ampelon {

namespace fs = std::filesystem;

ChargeFigures BenchChargeLibrary::Figures(int charge) {
  ChargeFigures figures;
  figures.lastSample = 3600;
  figures.timesKnown = true;
  figures.peakVolts = 1.48 + 0.0001 * charge;
  figures.peakSeconds = 5400.0 - charge;
  figures.end = ChargeEnd::kPeakPassed;
  figures.endSample = 3500;
  figures.dropMillivolts = 8.0;
  figures.durationSeconds = 7000.0;
  return figures;
}

BenchChargeLibrary::BenchChargeLibrary()
    : m_folder(fs::temp_directory_path() /
               ("ampelon-history-bench-" + std::to_string(std::random_device{}()))),
      m_library(std::move(ChargeLibrary::Open(m_folder / "charges.sqlite").value())) {
  for (int charge = 0; charge < kChargesEach; ++charge) {
    for (int battery = 0; battery < kBatteries; ++battery) {
      const std::uint64_t hash = static_cast<std::uint64_t>(charge * kBatteries + battery + 1);
      const std::int64_t id =
          m_library
              .Register("/logs/charge.txt", hash, 1'600'000'000 + charge * 86400, {Figures(charge)})
              ->front()
              .id;
      const BatteryDetails details{"Pack " + std::to_string(battery), Chemistry::kNiMH, 2000, 1000,
                                   ""};
      if (!m_library.SetDetails(id, details)) std::abort();
    }
  }
}

BenchChargeLibrary::~BenchChargeLibrary() {
  std::error_code error;
  fs::remove_all(m_folder, error);
}

BenchChargeLibrary& BenchChargeLibrary::Shared() {
  static BenchChargeLibrary library;
  return library;
}

}  // namespace ampelon
