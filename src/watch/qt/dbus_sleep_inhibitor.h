#pragma once

#include <memory>

#include <QDBusUnixFileDescriptor>
#include <QString>

#include "watch/sleep_inhibitor.h"

class QObject;

namespace ampelon {

// Keeps the computer from suspending through the desktop portal on the session bus
// (org.freedesktop.portal.Inhibit); where no portal answers, through logind on the system bus.
// The portal lets go when the program's bus connection ends, logind when its lock's file
// descriptor is closed, so a crash lets go by itself. Every call is asynchronous.
class DbusSleepInhibitor final : public SleepInhibitor {
 public:
  DbusSleepInhibitor();
  ~DbusSleepInhibitor() override;
  void Hold(RefusalHandler onRefused) override;
  void Release() override;

 private:
  void AskLogind(int request, const QString& portalError);
  void Refuse(const QString& reason);
  bool Current(int request) const;

  enum class State { kReleased, kAsking, kHeld };
  State m_state = State::kReleased;
  int m_request = 0;  // counts Hold() calls: a late answer to an earlier one is let go at once
  QString m_portalRequest;               // the portal's request object while held
  QDBusUnixFileDescriptor m_logindLock;  // logind's lock while held
  RefusalHandler m_onRefused;
  std::unique_ptr<QObject> m_calls;  // the watchers of calls still waiting for an answer
};

}  // namespace ampelon
