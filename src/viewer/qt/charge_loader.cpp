#include "viewer/qt/charge_loader.h"

#include <utility>

#include <QMetaObject>
#include <QObject>

namespace ampelon {

ChargeLoader::ChargeLoader(std::filesystem::path path, double peakDropMillivolts, QObject* receiver,
                           Done done) {
  m_thread = std::thread([state = m_state, path = std::move(path), peakDropMillivolts, receiver,
                          done = std::move(done)] {
    auto result = std::make_shared<Result<AnalysedChargeFile>>(LoadAnalysedChargeFile(
        path, peakDropMillivolts, [&state](double share) { state->progress.store(share); },
        &state->cancel));
    // Cancelling happens on the receiver's thread too: a result that arrives after it is
    // dropped there. The loader waits for this thread before it goes, so the receiver lives.
    QMetaObject::invokeMethod(
        receiver,
        [state, result, done] {
          if (!state->cancel.load()) done(std::move(*result));
        },
        Qt::QueuedConnection);
  });
}

ChargeLoader::~ChargeLoader() {
  Cancel();
  m_thread.join();
}

}  // namespace ampelon
