#include "watch/qt/dbus_sleep_inhibitor.h"

#include <utility>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QVariantMap>

namespace ampelon {
namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kReason = QStringLiteral("A charge is being recorded");
constexpr uint kInhibitSuspend = 4;
constexpr uint kInhibitIdle = 8;

// Closes a portal request, which ends what it inhibits.
void CloseRequest(const QString& path) {
  QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
      kPortalService, path, QStringLiteral("org.freedesktop.portal.Request"),
      QStringLiteral("Close")));
}

}  // namespace

DbusSleepInhibitor::DbusSleepInhibitor() : m_calls(std::make_unique<QObject>()) {}

DbusSleepInhibitor::~DbusSleepInhibitor() { Release(); }

bool DbusSleepInhibitor::Current(int request) const {
  return request == m_request && m_state == State::kAsking;
}

void DbusSleepInhibitor::Hold(RefusalHandler onRefused) {
  if (m_state != State::kReleased) return;
  m_state = State::kAsking;
  m_onRefused = std::move(onRefused);
  const int request = ++m_request;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    AskLogind(request, QStringLiteral("no session bus"));
    return;
  }
  QDBusMessage message = QDBusMessage::createMethodCall(
      kPortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
      QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
  message << QString() << (kInhibitSuspend | kInhibitIdle)
          << QVariantMap{{QStringLiteral("reason"), kReason}};
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), m_calls.get());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_calls.get(),
                   [this, request](QDBusPendingCallWatcher* call) {
                     call->deleteLater();
                     const QDBusPendingReply<QDBusObjectPath> reply = *call;
                     if (reply.isError()) {
                       if (Current(request)) AskLogind(request, reply.error().message());
                       return;
                     }
                     const QString path = reply.value().path();
                     if (!Current(request)) {
                       CloseRequest(path);
                       return;
                     }
                     m_portalRequest = path;
                     m_state = State::kHeld;
                   });
}

void DbusSleepInhibitor::AskLogind(int request, const QString& portalError) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) {
    Refuse(QStringLiteral("the desktop portal does not answer (%1) and there is no system bus")
               .arg(portalError));
    return;
  }
  QDBusMessage message = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
  message << QStringLiteral("sleep:idle") << QStringLiteral("Ampelon") << kReason
          << QStringLiteral("block");
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), m_calls.get());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_calls.get(),
                   [this, request, portalError](QDBusPendingCallWatcher* call) {
                     call->deleteLater();
                     const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
                     if (!Current(request)) return;  // the lock, if any, closes with the reply
                     if (reply.isError()) {
                       Refuse(QStringLiteral("neither the desktop portal (%1) nor logind (%2) "
                                             "keeps it awake")
                                  .arg(portalError, reply.error().message()));
                       return;
                     }
                     m_logindLock = reply.value();
                     m_state = State::kHeld;
                   });
}

void DbusSleepInhibitor::Refuse(const QString& reason) {
  m_state = State::kReleased;
  if (const RefusalHandler handler = std::exchange(m_onRefused, {})) handler(reason.toStdString());
}

void DbusSleepInhibitor::Release() {
  if (m_state == State::kReleased) return;
  if (!m_portalRequest.isEmpty()) CloseRequest(std::exchange(m_portalRequest, {}));
  m_logindLock = QDBusUnixFileDescriptor();
  m_onRefused = {};
  m_state = State::kReleased;
}

}  // namespace ampelon
