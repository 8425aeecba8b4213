#pragma once

#include <memory>

#include <QLockFile>
#include <QString>

#include "common/result.h"

namespace ampelon {

// The lock that lets one copy of the program run at a time. It lives in the user's runtime
// folder or, where that cannot hold it, in a private folder of the user's own; the running
// copy's local socket lives beside it.
class InstanceLock {
 public:
  // Takes the lock in `runtimeFolder`; when that is empty or cannot hold the lock for any
  // reason but another copy holding it, in PrivateFolderIn(`temporaryFolder`). Fails, saying
  // why, when neither can hold it. A lock left by a crashed copy is taken over.
  static Result<std::unique_ptr<InstanceLock>> Take(const QString& runtimeFolder,
                                                    const QString& temporaryFolder);

  // False when another copy holds the lock.
  bool Held() const { return m_held; }
  // Tries once more, for a copy that waited for the holder to end.
  bool TryAgain();
  // Where the lock is, and where the copy that holds it listens.
  const QString& Folder() const { return m_folder; }

 private:
  explicit InstanceLock(const QString& folder);

  QString m_folder;
  QLockFile m_lock;
  bool m_held = false;
};

}  // namespace ampelon
