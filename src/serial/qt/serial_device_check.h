#pragma once

#include <optional>
#include <string>

namespace ampelon {

// Why `devicePath` cannot be a serial device, for the user: it names a folder, a regular file, a
// named pipe or a socket. Nothing when it may be one: a device node, or a path that cannot be
// examined, so that opening it reports the system's own reason. Looks without opening, so a
// named pipe never makes it wait.
std::optional<std::string> NotASerialDevice(const std::string& devicePath);

}  // namespace ampelon
