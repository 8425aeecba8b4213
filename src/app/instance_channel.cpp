#include "app/instance_channel.h"

#include <memory>
#include <utility>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QTimer>

#ifdef _WIN32
#include "app/session_pipe.h"
#else
#include <sys/un.h>
#endif

namespace ampelon {
namespace {

constexpr int kConnectMilliseconds = 1000;
constexpr int kWriteMilliseconds = 2000;
// As long as a second copy tries at all: a path sent twice would be loaded twice.
constexpr int kAnswerMilliseconds = 5000;
constexpr char kTaken[] = "taken\n";
// A sender that connects and then says nothing is dropped after this long.
constexpr int kSenderPatienceMilliseconds = 5000;

// The path as received; empty unless it is valid UTF-8, holds no NUL and is absolute.
QString AbsolutePathIn(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString path = decoder(bytes);
  if (decoder.hasError() || path.contains(QChar(u'\0')) || !QDir::isAbsolutePath(path)) {
    return {};
  }
  return path;
}

}  // namespace

QString InstanceChannel::ServerName(const QString& lockFolder) {
#ifdef _WIN32
  Q_UNUSED(lockFolder);
  return QString::fromStdWString(SessionPipeName());
#else
  return lockFolder + QStringLiteral("/ampelon.socket");
#endif
}

bool InstanceChannel::FitsServerName(const QString& lockFolder) {
#ifdef _WIN32
  Q_UNUSED(lockFolder);
  return true;
#else
  return static_cast<std::size_t>(QFile::encodeName(ServerName(lockFolder)).size()) <
         sizeof(sockaddr_un{}.sun_path);
#endif
}

Result<void> InstanceChannel::Send(const QString& serverName, const QString& path) {
  QLocalSocket socket;
  socket.connectToServer(serverName);
  if (!socket.waitForConnected(kConnectMilliseconds)) {
    return Failure{socket.errorString().toStdString()};
  }
#ifdef _WIN32
  // Anyone may have made a pipe of this name; a path goes only to a copy run by this user.
  if (const Result<void> ours =
          CheckPipeServerIsThisUser(reinterpret_cast<void*>(socket.socketDescriptor()));
      !ours) {
    return ours;
  }
#endif
  socket.write(path.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(kWriteMilliseconds)) {
    return Failure{socket.errorString().toStdString()};
  }
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(kAnswerMilliseconds)) return Failure{"it did not take the file"};
  }
  if (socket.readLine() != kTaken) return Failure{"it did not take the file"};
  return {};
}

InstanceChannel::InstanceChannel(std::function<void(const QString&)> onPath)
    : m_onPath(std::move(onPath)) {
  QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] { Accept(); });
}

Result<void> InstanceChannel::Listen(const QString& serverName) {
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(serverName);
  if (!m_server.listen(serverName)) return Failure{m_server.errorString().toStdString()};
  return {};
}

void InstanceChannel::Stop() {
  m_stopped = true;
  m_server.close();
}

void InstanceChannel::Accept() {
  while (QLocalSocket* socket = m_server.nextPendingConnection()) {
    // What the sender has sent so far; `done` once a path was taken or the sender was dropped.
    struct Incoming {
      QByteArray bytes;
      bool done = false;
    };
    auto incoming = std::make_shared<Incoming>();
    const auto drop = [socket, incoming] {
      incoming->done = true;
      socket->abort();
    };
    const auto readSome = [this, socket, incoming, drop] {
      if (incoming->done || !socket->isOpen()) return;
      incoming->bytes += socket->read(kLongestPath + 1 - incoming->bytes.size());
      const qsizetype end = incoming->bytes.indexOf('\n');
      if (end < 0) {
        if (incoming->bytes.size() > kLongestPath) drop();
      } else if (Deliver(incoming->bytes.left(end))) {
        incoming->done = true;
        socket->write(kTaken);
        socket->disconnectFromServer();  // once the answer is written
      } else {
        drop();
      }
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, readSome);
    QObject::connect(socket, &QLocalSocket::disconnected, socket,
                     [this, socket, incoming, readSome] {
                       // A sender may end its path by closing the connection instead of with a line
                       // feed.
                       readSome();
                       if (!incoming->done) {
                         incoming->done = true;
                         (void)Deliver(incoming->bytes);
                       }
                       socket->deleteLater();
                     });
    QTimer::singleShot(kSenderPatienceMilliseconds, socket, drop);
    readSome();
  }
}

bool InstanceChannel::Deliver(const QByteArray& bytes) {
  const QString path = AbsolutePathIn(bytes);
  if (m_stopped || path.isEmpty()) return false;
  m_onPath(path);
  return true;
}

}  // namespace ampelon
