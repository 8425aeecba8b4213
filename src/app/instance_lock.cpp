#include "app/instance_lock.h"

#include <string>

#include "app/private_folder.h"

namespace ampelon {
namespace {

std::string LockProblem(const QString& folder, QLockFile::LockError error) {
  return "no lock file can be made in " + folder.toStdString() +
         (error == QLockFile::PermissionError ? " (permission denied)" : "");
}

}  // namespace

InstanceLock::InstanceLock(const QString& folder)
    : m_folder(folder), m_lock(folder + QStringLiteral("/ampelon.lock")) {
  m_lock.setStaleLockTime(0);
}

Result<std::unique_ptr<InstanceLock>> InstanceLock::Take(const QString& runtimeFolder,
                                                         const QString& temporaryFolder) {
  // Only "another copy holds it" ends a copy silently; any other failure moves the lock.
  if (!runtimeFolder.isEmpty()) {
    std::unique_ptr<InstanceLock> lock(new InstanceLock(runtimeFolder));
    if (lock->TryAgain() || lock->m_lock.error() == QLockFile::LockFailedError) return lock;
  }
  const Result<QString> folder = PrivateFolderIn(temporaryFolder);
  if (!folder) return Failure{folder.error()};
  std::unique_ptr<InstanceLock> lock(new InstanceLock(*folder));
  if (lock->TryAgain() || lock->m_lock.error() == QLockFile::LockFailedError) return lock;
  return Failure{LockProblem(*folder, lock->m_lock.error())};
}

bool InstanceLock::TryAgain() {
  m_held = m_lock.tryLock(0);
  return m_held;
}

}  // namespace ampelon
