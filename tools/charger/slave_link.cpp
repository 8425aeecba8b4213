#include "charger/slave_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ampelon {

SlaveLink::~SlaveLink() { Remove(); }

Result<void> SlaveLink::Create(const std::string& linkPath, const std::string& target) {
  struct stat info {};
  if (::lstat(linkPath.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
    return Failure{linkPath + ": exists and is not a symbolic link"};
  }
  // A new link renamed over the old one, so the path never dangles or vanishes in between.
  const std::string temporary = linkPath + ".new" + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  if (::symlink(target.c_str(), temporary.c_str()) != 0 ||
      ::rename(temporary.c_str(), linkPath.c_str()) != 0) {
    Failure failure{linkPath + ": " + std::strerror(errno)};
    ::unlink(temporary.c_str());
    return failure;
  }
  m_linkPath = linkPath;
  m_target = target;
  return {};
}

void SlaveLink::Remove() {
  if (m_linkPath.empty()) return;
  char pointsTo[4096];
  const ssize_t size = ::readlink(m_linkPath.c_str(), pointsTo, sizeof pointsTo);
  if (size >= 0 && std::string(pointsTo, static_cast<std::size_t>(size)) == m_target) {
    ::unlink(m_linkPath.c_str());
  }
  m_linkPath.clear();
}

}  // namespace ampelon
