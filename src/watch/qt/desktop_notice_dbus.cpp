#include "watch/qt/desktop_notice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "watch/notifier.h"

namespace ampelon {
namespace {

// A notice's body may hold the service's markup; ours is text with lines from the serial port in
// it, so the three characters that markup gives a meaning are escaped.
QString EscapedBody(const std::string& text) {
  QString body = QString::fromStdString(text);
  body.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
  body.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
  body.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
  return body;
}

}  // namespace

void SendDesktopNotice(const Notice& notice) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QDBusMessage message = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  // The desktop entry's id lets the desktop group the notices under the program and its icon;
  // an urgent one stays on screen until it is seen.
  const QVariantMap hints{
      {QStringLiteral("desktop-entry"), QStringLiteral("org.trevanix.Ampelon")},
      {QStringLiteral("urgency"), QVariant::fromValue<uchar>(notice.urgent ? 2 : 1)}};
  message << QStringLiteral("Ampelon") << 0u << QStringLiteral("org.trevanix.Ampelon")
          << QString::fromStdString(notice.summary) << EscapedBody(notice.body) << QStringList()
          << hints << -1;
  // Sent without waiting: the answer (the notice's id, or an error when no service runs) is
  // of no use.
  bus.send(message);
}

}  // namespace ampelon
