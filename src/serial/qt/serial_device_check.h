#pragma once

#include <string>

#include "common/result.h"

namespace ampelon {

// Fails, saying why for the user, when `devicePath` cannot be a serial device: it names a folder,
// a regular file, a named pipe or a socket. Succeeds when it may be one: a device node, or a path
// that cannot be examined, so that opening it reports the system's own reason. Looks without
// opening, so a named pipe never makes it wait.
Result<void> CheckSerialDevice(const std::string& devicePath);

}  // namespace ampelon
