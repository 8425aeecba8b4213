#pragma once

#include <functional>

#include <QLocalServer>
#include <QString>

#include "common/result.h"

namespace ampelon {

// The local socket through which a second copy hands a graph log to the copy that runs: one
// absolute path in UTF-8, ended by a line feed, answered by "taken" and a line feed once the
// running copy has taken it. A path ended by closing the connection is taken unanswered.
class InstanceChannel {
 public:
  // The longest path accepted, in bytes; a connection that sends more is dropped.
  static constexpr qsizetype kLongestPath = 64 * 1024;

  // The socket's name for this user: a file in `lockFolder` (the folder of the instance lock,
  // private to the user) on Unix; on Windows a pipe name that holds the session and the user's
  // SID (SessionPipeName).
  static QString ServerName(const QString& lockFolder);
  // False when the socket's name in `lockFolder` is longer than the system allows.
  static bool FitsServerName(const QString& lockFolder);

  // Hands `path` to the copy listening on `serverName`; fails when none listens (yet), when it
  // does not take the path (it is closing), and on Windows when the pipe's server runs as
  // another user.
  static Result<void> Send(const QString& serverName, const QString& path);

  // `onPath` receives each absolute path handed over; anything else is ignored.
  explicit InstanceChannel(std::function<void(const QString&)> onPath);

  // Listens on `serverName`. Call only while holding the instance lock: a socket file left by
  // a crashed copy is removed first, which would cut off a copy that still runs.
  Result<void> Listen(const QString& serverName);
  // From now on nothing is taken, whatever was sent already: the program is closing, and a
  // second copy must not count on it.
  void Stop();

 private:
  void Accept();
  // False when `bytes` is no path to take.
  bool Deliver(const QByteArray& bytes);

  QLocalServer m_server;
  std::function<void(const QString&)> m_onPath;
  bool m_stopped = false;
};

}  // namespace ampelon
