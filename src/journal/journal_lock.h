#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "common/result.h"

namespace ampelon {

// Lets one copy of the program at a time keep the journal in a folder. Copies started with
// different runtime folders do not see each other's single-instance lock, and the start-up
// recovery of one would take the other's live journal away. The system lets go of the lock
// when the program ends, however it ends. The platform's own calls sit in
// journal_lock_posix.cpp and journal_lock_windows.cpp.
class JournalLock {
 public:
  static constexpr const char* kLockName = "charge-journal.lock";

  // Takes the lock in `folder`, made when missing; empty when another copy holds it. Fails,
  // saying why, when no lock can be taken there at all.
  static Result<std::unique_ptr<JournalLock>> Take(const std::filesystem::path& folder);

  JournalLock(const JournalLock&) = delete;
  JournalLock& operator=(const JournalLock&) = delete;
  ~JournalLock();

 private:
  explicit JournalLock(std::intptr_t handle) : m_handle(handle) {}

  const std::intptr_t m_handle;
};

}  // namespace ampelon
