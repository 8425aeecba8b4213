#pragma once

#include <filesystem>

#include "history/charge_library.h"

namespace ampelon {

// The charge library at the size of years of use, made once in a folder of its own and removed
// at the end: kBatteries batteries named "Pack 0" to "Pack 24", kChargesEach charges each, a
// day apart, each peaking a second sooner than the one before.
class BenchChargeLibrary {
 public:
  static constexpr int kBatteries = 25;
  static constexpr int kChargesEach = 200;

  BenchChargeLibrary();
  ~BenchChargeLibrary();
  BenchChargeLibrary(const BenchChargeLibrary&) = delete;
  BenchChargeLibrary& operator=(const BenchChargeLibrary&) = delete;

  ChargeLibrary& Library() { return m_library; }

  // The figures of the `charge`th charge of a battery.
  static ChargeFigures Figures(int charge);
  // The one library of the run.
  static BenchChargeLibrary& Shared();

 private:
  std::filesystem::path m_folder;
  ChargeLibrary m_library;
};

}  // namespace ampelon
