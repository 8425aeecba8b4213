#pragma once

#include <string>

#include "common/result.h"

namespace ampelon {

// A symbolic link to the pseudo-terminal, for programs that are given a device path directly.
class SlaveLink {
 public:
  SlaveLink() = default;
  ~SlaveLink();
  SlaveLink(const SlaveLink&) = delete;
  SlaveLink& operator=(const SlaveLink&) = delete;

  // Makes `linkPath` point to `target`. A symbolic link already there (left by a run that was
  // killed) is replaced; any other file is left alone and fails.
  Result<void> Create(const std::string& linkPath, const std::string& target);
  // Removes the link while it still points to the target. Safe to call more than once.
  void Remove();

 private:
  std::string m_linkPath;
  std::string m_target;
};

}  // namespace ampelon
