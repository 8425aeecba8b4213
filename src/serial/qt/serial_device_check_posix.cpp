#include "serial/qt/serial_device_check.h"

#include <sys/stat.h>

namespace ampelon {

Result<void> CheckSerialDevice(const std::string& devicePath) {
  struct stat status {};
  // stat() follows links such as /dev/serial/by-id/... to the node they name.
  if (::stat(devicePath.c_str(), &status) != 0) return {};
  const char* kind = nullptr;
  if (S_ISDIR(status.st_mode)) {
    kind = "a folder";
  } else if (S_ISREG(status.st_mode)) {
    kind = "a regular file";
  } else if (S_ISFIFO(status.st_mode)) {
    kind = "a named pipe (FIFO)";
  } else if (S_ISSOCK(status.st_mode)) {
    kind = "a socket";
  } else {
    return {};
  }
  return Failure{devicePath + " is " + kind + ", not a serial device"};
}

}  // namespace ampelon
