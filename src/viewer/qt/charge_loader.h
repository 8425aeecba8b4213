#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "common/result.h"
#include "viewer/charge_analysis.h"

class QObject;

namespace ampelon {

// Reads a charge's files and analyses them (LoadAnalysedChargeFile) on a thread of its own, so
// that the window goes on answering while a long graph log is read: its progress can be asked
// at any time, and the result comes through the event loop.
class ChargeLoader {
 public:
  using Done = std::function<void(Result<AnalysedChargeFile>)>;

  // Starts reading `path`, to be judged with the -dV threshold `peakDropMillivolts`. `done` is
  // called on the thread of `receiver` (the window's), unless the loader was cancelled or
  // destroyed before.
  ChargeLoader(std::filesystem::path path, double peakDropMillivolts, QObject* receiver, Done done);
  // Cancels, and waits for the thread, which stops within a piece of the file.
  ~ChargeLoader();
  ChargeLoader(const ChargeLoader&) = delete;
  ChargeLoader& operator=(const ChargeLoader&) = delete;

  // The share of the files read, 0 to 1.
  double Progress() const { return m_state->progress.load(); }
  // The reading stops, and `done` is not called.
  void Cancel() { m_state->cancel.store(true); }

 private:
  struct State {
    std::atomic<bool> cancel{false};
    std::atomic<double> progress{0};
  };
  std::shared_ptr<State> m_state = std::make_shared<State>();
  std::thread m_thread;
};

}  // namespace ampelon
